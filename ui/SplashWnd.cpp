#include "SplashWnd.h"

#include "SplashControl.h"
#include "SplashRules.h"
#include "framework/Afx.h"
#include "framework/CWinApp.h"
#include "framework/Dc.h"

namespace ui {

namespace {
constexpr UINT_PTR kSplashTimer = 1;

// The application's main window, when it exists.
HWND AppMainWindow() {
  CWinApp* app = AfxGetApp();
  CWnd* main = app ? app->m_pMainWnd : nullptr;
  HWND h = main ? main->m_hWnd : nullptr;
  return h && ::IsWindow(h) ? h : nullptr;
}

CSize SplashBitmapSize() {
  BITMAP bm{};
  if (SplashBitmap && SplashBitmap->m_hObject) SplashBitmap->GetBitmap(&bm);
  return CSize(bm.bmWidth, bm.bmHeight);
}
}  // namespace

BOOL CSplashWnd::CreateSplashWindow(CWnd*, int timeout, std::uint16_t flags) {
  const CSize size = SplashBitmapSize();
  m_nTimeout = timeout;
  m_wFlags = flags;
  LPCSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW), nullptr, nullptr);
  return CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, "", WS_POPUP | WS_VISIBLE, 0, 0,
                  size.cx, size.cy, nullptr, nullptr);
}

int CSplashWnd::OnCreate(LPCREATESTRUCTA cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  CenterWindow();
  UpdateWindow();
  SetForegroundWindow();
  if (m_nTimeout != -1) SetTimer(kSplashTimer, static_cast<UINT>(m_nTimeout));
  return 0;
}

void CSplashWnd::OnPaint() {
  CPaintDC dc(this);
  CDC mem;
  if (!mem.CreateCompatibleDC(&dc) || !SplashBitmap) return;
  const CSize size = SplashBitmapSize();
  ScopedSelect hold(mem, *SplashBitmap);
  dc.BitBlt(0, 0, size.cx, size.cy, &mem, 0, 0, SRCCOPY);
}

void CSplashWnd::OnTimer(UINT_PTR) {
  if (SplashOnTimer(m_wFlags, AppMainWindow() != nullptr) == SplashTick::Hide)
    HideSplash(m_pThread);
  else
    SetTimer(kSplashTimer, kSplashRecheckMs);
}

BOOL CSplashWnd::PreTranslateMessage(MSG* msg) {
  if (SplashHidesOnMessage(m_wFlags, msg->message)) {
    HideSplash(m_pThread);
    return TRUE;
  }
  return CWnd::PreTranslateMessage(msg);
}

void CSplashWnd::PostNcDestroy() {
  if (HWND main = AppMainWindow()) ::SetForegroundWindow(main);
  delete this;
}

}  // namespace ui
