// Owners of GDI objects. Each deletes its object when it goes out of scope;
// Detach hands the object over (for example to SetWindowRgn, after which
// the window owns the region). Copying is not allowed.
#pragma once

#include <windows.h>

namespace ui {

class CDC;

class CGdiObject {
 public:
  CGdiObject() = default;
  virtual ~CGdiObject() { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ m_hObject = nullptr;

  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  // Takes ownership of h; an object already held is deleted first.
  void Attach(HGDIOBJ h);
  HGDIOBJ Detach();
  BOOL DeleteObject();
};

class CBitmap : public CGdiObject {
 public:
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  // From the resources of AfxGetResourceHandle(): a device-dependent bitmap.
  BOOL LoadBitmap(UINT id);
  BOOL LoadBitmap(LPCSTR name);
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  int GetBitmap(BITMAP* out) const;
};

class CFont : public CGdiObject {
 public:
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  // Size in tenths of a point, converted with the screen's (or dc's) resolution.
  BOOL CreatePointFont(int tenthsOfPoint, LPCSTR faceName, CDC* dc = nullptr);
  BOOL CreateFontIndirect(const LOGFONTA& font);
};

class CBrush : public CGdiObject {
 public:
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  BOOL CreateSolidBrush(COLORREF colour);
};

class CRgn : public CGdiObject {
 public:
  operator HRGN() const { return static_cast<HRGN>(m_hObject); }
  BOOL CreateRectRgn(int left, int top, int right, int bottom);
  // One region from a list of rectangles (ExtCreateRegion); an empty list
  // gives an empty region.
  BOOL CreateFromRects(const RECT* rects, int count);
  int CombineRgn(const CRgn* a, const CRgn* b, int mode);
};

}  // namespace ui
