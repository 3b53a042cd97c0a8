// Device contexts. CDC wraps a borrowed DC or owns a memory DC made by
// CreateCompatibleDC; CPaintDC and CClientDC pair BeginPaint/EndPaint and
// GetDC/ReleaseDC; ScopedSelect puts the previous object back.
#pragma once

#include <windows.h>

#include "CRect.h"

namespace ui {

class CWnd;
class CGdiObject;

class CDC {
 public:
  CDC() = default;
  explicit CDC(HDC borrowed) : m_hDC(borrowed) {}
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC m_hDC = nullptr;

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }

  // A memory DC compatible with other (the screen when null), owned.
  BOOL CreateCompatibleDC(CDC* other);

  BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
  }
  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  BOOL TextOut(int x, int y, LPCSTR text, int len) { return ::TextOutA(m_hDC, x, y, text, len); }
  CSize GetTextExtent(LPCSTR text, int len) const;
  BOOL GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

 private:
  bool m_bOwned = false;
};

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWnd;
};

class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);  // null: the screen
  ~CClientDC() override;

 private:
  HWND m_hWnd;
};

class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(::SelectObject(dc, obj)) {}
  ScopedSelect(CDC& dc, const CGdiObject& obj);
  ~ScopedSelect() {
    if (m_old) ::SelectObject(m_dc, m_old);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

}  // namespace ui
