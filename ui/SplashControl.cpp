#include "SplashControl.h"

#include "Splash.h"
#include "SplashRules.h"
#include "SplashWnd.h"
#include "framework/Afx.h"

namespace ui {

CBitmap* SplashBitmap = nullptr;
CSplash* SplashThreadSlot = nullptr;

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
    new CSplash(nullptr, timeout, kSplashHideOnInput, &SplashThreadSlot);
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

}  // namespace ui
