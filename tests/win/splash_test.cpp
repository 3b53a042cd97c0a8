#include <windows.h>

#include <gtest/gtest.h>

#include "Splash.h"
#include "SplashControl.h"
#include "SplashRules.h"
#include "SplashWnd.h"
#include "WinTestSupport.h"
#include "framework/CWinApp.h"
#include "resource.h"

using namespace ui;

namespace {

// The splash window of the running splash thread, once it is shown.
HWND WaitForSplashWindow(CSplash* thread) {
  HWND h = nullptr;
  qvtest::PumpUntil([&] {
    CWnd* w = thread->m_pMainWnd;
    h = w ? w->m_hWnd : nullptr;
    return h && ::IsWindowVisible(h);
  });
  return h;
}

bool Gone(HWND h) {
  return qvtest::PumpUntil([&] { return !::IsWindow(h); });
}

void LoadSplashBitmap() {
  SplashBitmap = new CBitmap;
  SplashBitmap->LoadBitmap(IDB_GOODBYE);
}

// A thread made directly, with the flags under test.
CSplash* StartThread(int timeout, std::uint16_t flags, CSplash** slot) {
  LoadSplashBitmap();
  return new CSplash(nullptr, timeout, flags, slot);
}

}  // namespace

TEST(Splash, ShownTopmostCentredAndHiddenByAKey) {
  char module[kModuleNameSize];
  qvtest::ModuleName(module);
  StartSplash(module, IDB_GOODBYE, 3500000);
  CSplash* thread = SplashThreadSlot;
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(thread->m_wFlags, ui::kSplashHideOnInput);
  HWND h = WaitForSplashWindow(thread);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(::GetWindowLongA(h, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
  RECT r;
  ::GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 100);
  RECT work;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(r.left, work.left + (work.right - work.left - 300) / 2);
  EXPECT_EQ(r.top, work.top + (work.bottom - work.top - 100) / 2);

  // Through the splash thread's own message loop.
  ::PostMessageA(h, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(Gone(h));
  EXPECT_EQ(SplashThreadSlot, nullptr);
}

TEST(Splash, MouseButtonsHideAMouseMoveDoesNot) {
  CSplash* slot = nullptr;
  CSplash* thread = StartThread(-1, ui::kSplashHideOnInput, &slot);
  HWND h = WaitForSplashWindow(thread);
  ASSERT_NE(h, nullptr);
  auto* wnd = static_cast<CSplashWnd*>(thread->m_pMainWnd);
  MSG move{h, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), 0, {0, 0}};
  EXPECT_FALSE(wnd->PreTranslateMessage(&move));
  EXPECT_EQ(slot, thread);
  MSG up{h, WM_LBUTTONUP, 0, 0, 0, {0, 0}};
  EXPECT_FALSE(wnd->PreTranslateMessage(&up));
  EXPECT_EQ(slot, thread);
  // A real mouse move on the window changes nothing either.
  ::PostMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  qvtest::PumpFor(200);
  EXPECT_TRUE(::IsWindowVisible(h));

  // A right-button press is consumed and hides the splash.
  MSG right{h, WM_RBUTTONDOWN, MK_RBUTTON, 0, 0, {0, 0}};
  EXPECT_TRUE(wnd->PreTranslateMessage(&right));
  EXPECT_EQ(slot, nullptr);
  EXPECT_TRUE(Gone(h));
}

TEST(Splash, LeftClickThroughTheLoopHides) {
  CSplash* slot = nullptr;
  CSplash* thread = StartThread(-1, ui::kSplashHideOnInput, &slot);
  HWND h = WaitForSplashWindow(thread);
  ASSERT_NE(h, nullptr);
  ::PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(Gone(h));
  EXPECT_EQ(slot, nullptr);
}

TEST(Splash, WithoutTheInputFlagKeysDoNotHide) {
  CSplash* slot = nullptr;
  CSplash* thread = StartThread(-1, 0, &slot);
  HWND h = WaitForSplashWindow(thread);
  ASSERT_NE(h, nullptr);
  auto* wnd = static_cast<CSplashWnd*>(thread->m_pMainWnd);
  MSG key{h, WM_KEYDOWN, 'A', 0, 0, {0, 0}};
  EXPECT_FALSE(wnd->PreTranslateMessage(&key));
  EXPECT_EQ(slot, thread);
  HideSplash(thread);
  EXPECT_TRUE(Gone(h));
}

TEST(Splash, FirstTickFlagHidesWithoutAMainWindow) {
  ASSERT_EQ(AfxGetApp(), nullptr);
  CSplash* slot = nullptr;
  CSplash* thread = StartThread(50, ui::kSplashHideOnFirstTick, &slot);
  HWND h = WaitForSplashWindow(thread);
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(Gone(h));
  EXPECT_EQ(slot, nullptr);
}

TEST(Splash, TimerWaitsForTheApplicationsMainWindow) {
  CWinApp app("QuorvaneSplashTest");
  CSplash* slot = nullptr;
  CSplash* thread = StartThread(50, ui::kSplashHideOnInput, &slot);
  HWND h = WaitForSplashWindow(thread);
  ASSERT_NE(h, nullptr);
  // No main window: the check repeats every 100 ms and the splash stays.
  qvtest::PumpFor(400);
  EXPECT_TRUE(::IsWindowVisible(h));
  EXPECT_EQ(slot, thread);
  // Once the main window exists, the next check hides it.
  qvtest::HostWindow main(RGB(0, 0, 0), 0, 0, 50, 50);
  app.m_pMainWnd = &main;
  EXPECT_TRUE(Gone(h));
  EXPECT_EQ(slot, nullptr);
  app.m_pMainWnd = nullptr;
}

TEST(Splash, NoTimerWithTimeoutMinusOne) {
  CSplash* slot = nullptr;
  // With the first-tick flag any timer tick would hide it at once.
  CSplash* thread = StartThread(-1, ui::kSplashHideOnFirstTick, &slot);
  HWND h = WaitForSplashWindow(thread);
  ASSERT_NE(h, nullptr);
  qvtest::PumpFor(400);
  EXPECT_TRUE(::IsWindowVisible(h));
  HideSplash(thread);
  EXPECT_TRUE(Gone(h));
}

TEST(Splash, SecondStartLoadsTheBitmapButStartsNoThread) {
  char module[kModuleNameSize];
  qvtest::ModuleName(module);
  StartSplash(module, IDB_GOODBYE, -1);
  CSplash* thread = SplashThreadSlot;
  ASSERT_NE(thread, nullptr);
  HWND h = WaitForSplashWindow(thread);
  ASSERT_NE(h, nullptr);
  ::PostMessageA(h, WM_MBUTTONDOWN, MK_MBUTTON, 0);
  ASSERT_TRUE(Gone(h));
  EXPECT_EQ(SplashThreadSlot, nullptr);

  CBitmap* before = SplashBitmap;
  StartSplash(module, IDB_GOODBYE, -1);
  EXPECT_NE(SplashBitmap, before);
  EXPECT_NE(SplashBitmap->m_hObject, nullptr);
  EXPECT_EQ(SplashThreadSlot, nullptr);
  HideSplash(nullptr);  // harmless
}

TEST(Splash, WithoutUserControlNoWindowIsMade) {
  AfxOleSetUserCtrl(FALSE);
  CSplash* slot = nullptr;
  StartThread(-1, ui::kSplashHideOnInput, &slot);
  // The thread ends at once and its object goes, leaving no stale slot.
  EXPECT_TRUE(qvtest::PumpUntil([&] { return slot == nullptr; }));
  AfxOleSetUserCtrl(TRUE);
}
