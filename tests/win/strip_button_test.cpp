#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "WinTestSupport.h"
#include "ZRVHotSyncButton.h"
#include "resource.h"

using namespace ui;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kHostColour = RGB(10, 200, 30);
constexpr UINT kId = 6000;

struct ButtonFixture : ::testing::Test {
  qvtest::HostWindow host{kHostColour};
  ZRVHotSyncButton button;
  char module[kModuleNameSize];

  void Make(LPCSTR caption, LPCSTR tooltip, UINT strip = IDB_BUTTONS_WIDE, UINT frameWidth = 106,
            CRect place = CRect(20, 30, 106, 25)) {
    qvtest::ModuleName(module);
    button.CreateButton(module, caption, tooltip, kId, place, &host, strip, frameWidth);
    button.SetTextOffset(0, -2);
    qvtest::PumpFor(20);
  }
  // Paints the button now: WM_PAINT, owner drawing reflected to the button.
  void Redraw() {
    button.Invalidate(TRUE);
    button.UpdateWindow();
  }
  void Press() {
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Redraw();
  }
  int Commands() const { return static_cast<int>(host.commands.size()); }
};

}  // namespace

TEST_F(ButtonFixture, PressSendsExactlyOneCommandWithItsId) {
  Make("Install", "Start installation");
  ASSERT_NE(button.m_hWnd, nullptr);
  CRect r;
  button.GetWindowRect(&r);
  ::SetCursorPos(r.left + 5, r.top + 5);
  Redraw();
  EXPECT_EQ(Commands(), 0);

  Press();
  ASSERT_EQ(Commands(), 1);
  EXPECT_EQ(host.commands[0].wp, static_cast<WPARAM>(kId));
  EXPECT_EQ(host.commands[0].lp, 0);
  Redraw();
  Redraw();  // held and redrawn: no second command
  EXPECT_EQ(Commands(), 1);
  EXPECT_TRUE(button.IsPressed());

  button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Redraw();
  EXPECT_FALSE(button.IsPressed());
  Press();  // the next press fires again
  EXPECT_EQ(Commands(), 2);
}

TEST_F(ButtonFixture, QuickClickReleasedBeforeAnyPaintStillSendsOneCommand) {
  Make("Install", nullptr);
  // Press and release arrive together, as from a fast click.
  button.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  button.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  qvtest::PumpFor(100);
  ASSERT_EQ(Commands(), 1);
  EXPECT_EQ(host.commands[0].wp, static_cast<WPARAM>(kId));
  EXPECT_FALSE(button.IsPressed());
}

TEST_F(ButtonFixture, LeavingTheButtonCancelsThePressWithoutASecondCommand) {
  Make("Exit", nullptr);
  CRect r;
  button.GetWindowRect(&r);
  ::SetCursorPos(r.left + 5, r.top + 5);
  Press();
  ASSERT_EQ(Commands(), 1);
  // The 200 ms check finds the cursor still on the button: nothing happens.
  qvtest::PumpFor(300);
  EXPECT_TRUE(button.IsPressed());
  // The cursor leaves; a later tick of the check ends the press.
  ::SetCursorPos(r.right + 40, r.bottom + 40);
  EXPECT_TRUE(qvtest::PumpUntil([&] { return !button.IsPressed(); }));
  qvtest::PumpFor(50);
  Redraw();
  EXPECT_EQ(Commands(), 1);
  Press();
  EXPECT_EQ(Commands(), 2);
}

TEST_F(ButtonFixture, CursorOnTheRightAndBottomEdgeKeepsThePress) {
  Make("Exit", nullptr);
  CRect r;
  button.GetWindowRect(&r);
  Press();
  ::SetCursorPos(r.right, r.bottom);
  POINT p;
  ::GetCursorPos(&p);
  if (p.x != r.right || p.y != r.bottom) GTEST_SKIP() << "the display did not move the cursor";
  button.SendMessage(WM_TIMER, 1);
  EXPECT_TRUE(button.IsPressed());
  ::SetCursorPos(r.right + 1, r.bottom);
  button.SendMessage(WM_TIMER, 1);
  EXPECT_FALSE(button.IsPressed());
}

TEST_F(ButtonFixture, KeyPixelsOfTheStripShowWhatLiesBeneath) {
  Make("", nullptr, IDB_BUTTONS_SMALL, 25, CRect(20, 30, 25, 23));
  // Find a key pixel and a painted one in frame 0 of the strip.
  CBitmap strip;
  ASSERT_TRUE(strip.LoadBitmap(IDB_BUTTONS_SMALL));
  CDC stripDc;
  stripDc.CreateCompatibleDC(nullptr);
  POINT key{-1, -1}, paint{-1, -1};
  COLORREF paintColour = 0;
  {
    ScopedSelect hold(stripDc, strip);
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 25; ++x) {
        COLORREF c = stripDc.GetPixel(x, y);
        if (c == kKey && key.x < 0) key = {x, y};
        if (c != kKey && paint.x < 0) {
          paint = {x, y};
          paintColour = c;
        }
      }
  }
  ASSERT_GE(key.x, 0) << "frame 0 of the strip has no transparent pixel";
  ASSERT_GE(paint.x, 0) << "frame 0 of the strip is all transparent";

  // Into a memory picture that holds the "parent's" colour.
  CClientDC screen(nullptr);
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  CBitmap bits;
  bits.CreateCompatibleBitmap(&screen, 25, 23);
  ScopedSelect hold(mem, bits);
  RECT all{0, 0, 25, 23};
  CBrush brush;
  brush.CreateSolidBrush(kHostColour);
  ::FillRect(mem, &all, brush);
  button.DrawFrame(&mem, 0, 0, kKey, 0);
  EXPECT_EQ(mem.GetPixel(key.x, key.y), kHostColour);
  EXPECT_EQ(mem.GetPixel(paint.x, paint.y), paintColour);

  // And on the screen, over the host window's painted background.
  Redraw();
  CClientDC onScreen(&button);
  EXPECT_EQ(onScreen.GetPixel(key.x, key.y), kHostColour);
  EXPECT_EQ(onScreen.GetPixel(paint.x, paint.y), paintColour);
}

TEST_F(ButtonFixture, LabelIsDrawnOverTheFrameAndMovesWhenPressed) {
  Make("Install", nullptr);
  // Compare the caption's pixels in frame 3 drawn with and without a label:
  // the label changes some pixels, and the pressed label is one pixel lower
  // and to the right of where the normal one would be.
  CClientDC screen(nullptr);
  auto render = [&](int frame, CBitmap& out) {
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    out.CreateCompatibleBitmap(&screen, 106, 30);
    ScopedSelect hold(mem, out);
    RECT all{0, 0, 106, 30};
    ::FillRect(mem, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    button.DrawFrame(&mem, 0, 0, kKey, frame);
  };
  auto bottomOfInk = [&](CBitmap& withLabel, CBitmap& without) {
    CDC a, b;
    a.CreateCompatibleDC(&screen);
    b.CreateCompatibleDC(&screen);
    ScopedSelect ha(a, withLabel), hb(b, without);
    int bottom = -1, right = -1;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 106; ++x)
        if (a.GetPixel(x, y) != b.GetPixel(x, y)) {
          bottom = std::max(bottom, y);
          right = std::max(right, x);
        }
    return POINT{right, bottom};
  };
  CBitmap normal, pressed, normalBare, pressedBare;
  render(0, normal);
  render(3, pressed);
  button.SetWindowText("");
  render(0, normalBare);
  render(3, pressedBare);
  const POINT n = bottomOfInk(normal, normalBare);
  const POINT p = bottomOfInk(pressed, pressedBare);
  ASSERT_GE(n.x, 0) << "no label drawn";
  EXPECT_EQ(p.x, n.x + 1);
  EXPECT_EQ(p.y, n.y + 1);
  // The vertical centre comes from the strip's 30 rows, minus the offset 2.
  TEXTMETRICA tm{};
  {
    CDC m;
    m.CreateCompatibleDC(&screen);
    CFont font;
    font.CreatePointFont(80, "MS Sans Serif");
    ScopedSelect hf(m, font);
    m.GetTextMetrics(&tm);
  }
  EXPECT_LE(n.y, (30 - tm.tmHeight) / 2 - 2 + tm.tmHeight - 1);
}

TEST_F(ButtonFixture, TooltipOnlyWithAText) {
  Make("Install", "Start installation");
  ASSERT_TRUE(button.HasTooltip());
  EXPECT_EQ(::SendMessageA(button.TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
  ZRVHotSyncButton plain;
  plain.CreateButton(module, "Exit", nullptr, 10000, CRect(20, 80, 106, 25), &host,
                     IDB_BUTTONS_WIDE, 106);
  EXPECT_FALSE(plain.HasTooltip());
}

TEST_F(ButtonFixture, CreateFromItemTakesThePlaceOfTheControl) {
  HWND old = ::CreateWindowExA(0, "Button", "old", WS_CHILD | WS_VISIBLE, 30, 40, 50, 20,
                               host.m_hWnd, reinterpret_cast<HMENU>(kId), nullptr, nullptr);
  qvtest::ModuleName(module);
  button.CreateFromItem(module, "...", nullptr, kId, &host, IDB_BUTTONS_SMALL, 25);
  EXPECT_FALSE(::IsWindow(old));
  ASSERT_NE(button.m_hWnd, nullptr);
  EXPECT_EQ(host.GetDlgItem(kId), button.m_hWnd);
  CRect r;
  button.GetWindowRect(&r);
  ::MapWindowPoints(nullptr, host.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r, CRect(30, 40, 80, 60));

  ZRVHotSyncButton none;
  none.CreateFromItem(module, "...", nullptr, 4242, &host, IDB_BUTTONS_SMALL, 25);
  EXPECT_EQ(none.m_hWnd, nullptr);
}

TEST_F(ButtonFixture, DisabledButtonDrawsFrameFour) {
  Make("Exit", nullptr);
  button.EnableWindow(FALSE);
  Redraw();
  EXPECT_EQ(Commands(), 0);
  // A pixel at the centre-left of frame 4 (no label there) shows on screen.
  CBitmap strip;
  ASSERT_TRUE(strip.LoadBitmap(IDB_BUTTONS_WIDE));
  CDC stripDc;
  stripDc.CreateCompatibleDC(nullptr);
  COLORREF frame4, frame0;
  {
    ScopedSelect hold(stripDc, strip);
    frame4 = stripDc.GetPixel(4 * 106 + 8, 12);
    frame0 = stripDc.GetPixel(8, 12);
  }
  if (frame4 == frame0 || frame4 == kKey) GTEST_SKIP() << "frames 0 and 4 look alike there";
  CClientDC onScreen(&button);
  EXPECT_EQ(onScreen.GetPixel(8, 12), frame4);
}
