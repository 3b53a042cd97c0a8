#include "Dc.h"

#include "CWnd.h"
#include "Gdi.h"

namespace ui {

CDC::~CDC() {
  if (m_bOwned && m_hDC) ::DeleteDC(m_hDC);
}

BOOL CDC::CreateCompatibleDC(CDC* other) {
  if (m_bOwned && m_hDC) ::DeleteDC(m_hDC);
  m_hDC = ::CreateCompatibleDC(other ? other->m_hDC : nullptr);
  m_bOwned = m_hDC != nullptr;
  return m_bOwned;
}

CSize CDC::GetTextExtent(LPCSTR text, int len) const {
  SIZE s{0, 0};
  ::GetTextExtentPoint32A(m_hDC, text, len, &s);
  return CSize(s.cx, s.cy);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { m_hDC = ::GetDC(m_hWnd); }
CClientDC::~CClientDC() {
  if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
}

ScopedSelect::ScopedSelect(CDC& dc, const CGdiObject& obj)
    : ScopedSelect(dc.m_hDC, obj.m_hObject) {}

}  // namespace ui
