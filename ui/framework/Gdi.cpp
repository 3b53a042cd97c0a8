#include "Gdi.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Afx.h"
#include "Dc.h"

namespace ui {

void CGdiObject::Attach(HGDIOBJ h) {
  DeleteObject();
  m_hObject = h;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  BOOL ok = ::DeleteObject(m_hObject);
  m_hObject = nullptr;
  return ok;
}

BOOL CBitmap::LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEA(id)); }

BOOL CBitmap::LoadBitmap(LPCSTR name) {
  Attach(::LoadBitmapA(AfxGetResourceHandle(), name));
  return m_hObject != nullptr;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  Attach(::CreateCompatibleBitmap(dc->GetSafeHdc(), width, height));
  return m_hObject != nullptr;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void* bits) {
  Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
  return m_hObject != nullptr;
}

int CBitmap::GetBitmap(BITMAP* out) const {
  return ::GetObjectA(m_hObject, sizeof(BITMAP), out);
}

BOOL CFont::CreatePointFont(int tenthsOfPoint, LPCSTR faceName, CDC* dc) {
  HDC hdc = dc ? dc->GetSafeHdc() : ::GetDC(nullptr);
  // Logical height from points, as the device maps them.
  POINT pt{0, ::MulDiv(::GetDeviceCaps(hdc, LOGPIXELSY), tenthsOfPoint, 720)};
  POINT origin{0, 0};
  ::DPtoLP(hdc, &pt, 1);
  ::DPtoLP(hdc, &origin, 1);
  if (!dc) ::ReleaseDC(nullptr, hdc);
  LOGFONTA lf{};
  lf.lfHeight = -std::abs(pt.y - origin.y);
  lf.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  Attach(::CreateFontIndirectA(&lf));
  return m_hObject != nullptr;
}

BOOL CFont::CreateFontIndirect(const LOGFONTA& font) {
  Attach(::CreateFontIndirectA(&font));
  return m_hObject != nullptr;
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
  Attach(::CreateSolidBrush(colour));
  return m_hObject != nullptr;
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
  Attach(::CreateRectRgn(left, top, right, bottom));
  return m_hObject != nullptr;
}

BOOL CRgn::CreateFromRects(const RECT* rects, int count) {
  if (count <= 0) return CreateRectRgn(0, 0, 0, 0);
  const std::size_t rectBytes = sizeof(RECT) * static_cast<std::size_t>(count);
  // The region data's sizes are DWORDs; no shape comes near that.
  if (rectBytes > MAXDWORD - sizeof(RGNDATAHEADER)) return FALSE;
  const DWORD size = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rectBytes);
  std::vector<unsigned char> buf(size);
  auto* data = reinterpret_cast<RGNDATA*>(buf.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(count);
  data->rdh.nRgnSize = static_cast<DWORD>(rectBytes);
  RECT bound = rects[0];
  for (int i = 1; i < count; ++i) {
    bound.left = std::min(bound.left, rects[i].left);
    bound.top = std::min(bound.top, rects[i].top);
    bound.right = std::max(bound.right, rects[i].right);
    bound.bottom = std::max(bound.bottom, rects[i].bottom);
  }
  data->rdh.rcBound = bound;
  std::memcpy(data->Buffer, rects, rectBytes);
  Attach(::ExtCreateRegion(nullptr, size, data));
  return m_hObject != nullptr;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
  return ::CombineRgn(*this, static_cast<HRGN>(a->m_hObject),
                      b ? static_cast<HRGN>(b->m_hObject) : nullptr, mode);
}

}  // namespace ui
