#include "Splash.h"

#include "SplashWnd.h"
#include "framework/Afx.h"

namespace ui {

CSplash::CSplash(CWnd* parent, int timeout, std::uint16_t flags, CSplash** ppSelf)
    : m_ppSelf(ppSelf), m_pParentWnd(parent), m_nTimeout(timeout), m_wFlags(flags) {
  // The slot is written before the thread exists, so the thread can never
  // clear it before it is set.
  if (m_ppSelf) *m_ppSelf = this;
  CreateThread(0, 0, nullptr);
}

CSplash::~CSplash() {
  // A thread that ends without being hidden leaves no dangling slot.
  if (m_ppSelf && *m_ppSelf == this) *m_ppSelf = nullptr;
}

BOOL CSplash::InitInstance() {
  if (!AfxOleGetUserCtrl()) return FALSE;
  m_pMainWnd = CreateSplashWnd(m_pParentWnd, m_nTimeout, m_wFlags);
  return m_pMainWnd != nullptr;
}

CSplashWnd* CSplash::CreateSplashWnd(CWnd* parent, int timeout, std::uint16_t flags) {
  auto* wnd = new CSplashWnd(this);
  wnd->CreateSplashWindow(parent, timeout, flags);
  return wnd;
}

}  // namespace ui
