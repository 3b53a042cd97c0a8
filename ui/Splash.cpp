#include "Splash.h"

#include "SplashRules.h"
#include "SplashWnd.h"
#include "framework/Afx.h"

CBitmap* SplashBitmap = nullptr;
CSplash* SplashThreadSlot = nullptr;

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

void StartSplash(LPCSTR moduleName, UINT bitmapId, int timeout) {
  AfxSetResourceHandle(::GetModuleHandleA(moduleName));
  // The previous bitmap may still be on the screen of a running splash, so
  // it is kept (one small object per call).
  SplashBitmap = new CBitmap;
  SplashBitmap->LoadBitmap(bitmapId);
  static bool started = false;
  if (!started) {
    started = true;
    // The constructor stores the thread in the slot before the thread runs;
    // assigning its result here could bring back a thread that has ended.
    new CSplash(nullptr, timeout, qv::kSplashHideOnInput, &SplashThreadSlot);
  }
}

void HideSplash(CSplash* thread) {
  if (!thread) return;
  auto* wnd = static_cast<CSplashWnd*>(thread->m_pMainWnd);
  if (wnd) wnd->m_pThread = nullptr;
  if (thread->m_ppSelf) {
    *thread->m_ppSelf = nullptr;
    thread->m_ppSelf = nullptr;
  }
  if (wnd && wnd->m_hWnd) wnd->PostMessage(WM_CLOSE);
}
