#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "WaitBox.h"
#include "WinTestSupport.h"
#include "resource.h"

using namespace ui;

namespace {
std::string BoxText() {
  char buf[1024] = "";
  ::GetDlgItemTextA(WaitBoxWindow, IDC_WAITBOX_TEXT, buf, sizeof buf);
  return buf;
}
}  // namespace

TEST(WaitBox, FirstTextStartsWithALineBreakLaterTextsDoNot) {
  ShowWaitBox("");
  ASSERT_NE(WaitBoxWindow, nullptr);
  HWND first = WaitBoxWindow;
  EXPECT_TRUE(::IsWindowVisible(first));  // shown before ShowWaitBox returns
  EXPECT_EQ(BoxText(), "\n");

  ShowWaitBox("Quorvane is  loading - please wait ..");
  EXPECT_EQ(WaitBoxWindow, first);  // same window, text replaced exactly
  EXPECT_EQ(BoxText(), "Quorvane is  loading - please wait ..");

  CloseWaitBox();
  EXPECT_EQ(WaitBoxWindow, nullptr);
  EXPECT_FALSE(::IsWindow(first));

  // A new box gets the line break again.
  ShowWaitBox("wait ..");
  ASSERT_NE(WaitBoxWindow, nullptr);
  EXPECT_EQ(BoxText(), "\nwait ..");
  CloseWaitBox();
}

TEST(WaitBox, ClosingWithoutABoxOrTwiceIsHarmless) {
  CloseWaitBox();
  EXPECT_EQ(WaitBoxWindow, nullptr);
  ShowWaitBox("               ");
  ASSERT_NE(WaitBoxWindow, nullptr);
  CloseWaitBox();
  CloseWaitBox();
  CloseWaitBox();
  EXPECT_EQ(WaitBoxWindow, nullptr);
}

TEST(WaitBox, CreatingTextIsCutToTheBuffer) {
  const std::string longText(400, 'x');
  ShowWaitBox(longText.c_str());
  EXPECT_EQ(std::string(WaitBoxText), "\n" + std::string(298, 'x'));
  // Later texts are not copied, so they are not cut.
  ShowWaitBox(longText.c_str());
  EXPECT_EQ(BoxText(), longText);
  CloseWaitBox();
}

TEST(WaitBox, CentredOnTheScreenCaptionlessAndTopmost) {
  ShowWaitBox("centred");
  ASSERT_NE(WaitBoxWindow, nullptr);
  RECT r;
  ::GetWindowRect(WaitBoxWindow, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2);
  EXPECT_EQ(r.top, (::GetSystemMetrics(SM_CYSCREEN) - h) / 2);
  const LONG style = ::GetWindowLongA(WaitBoxWindow, GWL_STYLE);
  EXPECT_FALSE((style & WS_CAPTION) == WS_CAPTION);
  EXPECT_TRUE(style & WS_POPUP);

  // Another window that comes to the front stays below the box.
  qvtest::HostWindow other(RGB(0, 0, 128), 0, 0, 1024, 768);
  ::SetForegroundWindow(other.m_hWnd);
  ::SetActiveWindow(other.m_hWnd);
  qvtest::PumpFor(50);
  EXPECT_TRUE(::GetWindowLongA(WaitBoxWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
  bool boxAbove = false;
  for (HWND h2 = ::GetWindow(other.m_hWnd, GW_HWNDPREV); h2; h2 = ::GetWindow(h2, GW_HWNDPREV))
    if (h2 == WaitBoxWindow) boxAbove = true;
  EXPECT_TRUE(boxAbove);
  CloseWaitBox();
}

namespace {
INT_PTR CALLBACK HandlesNothing(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
}  // namespace

// The box is painted once before WM_INITDIALOG's text is set; a placeholder
// in the template would show then, and under Wine for the box's whole life.
TEST(WaitBox, TemplateTextIsEmpty) {
  char module[300];
  qvtest::ModuleName(module);
  HWND box = ::CreateDialogParamA(::GetModuleHandleA(module), "WAITBOX", nullptr, &HandlesNothing, 0);
  ASSERT_NE(box, nullptr);
  char text[64] = "untouched";
  ::GetDlgItemTextA(box, IDC_WAITBOX_TEXT, text, sizeof text);
  EXPECT_STREQ(text, "");
  ::DestroyWindow(box);
}
