#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "ZRVBitmapDialog.h"
#include "resource.h"

using namespace ui;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kPaint = RGB(1, 2, 3);

// A screen-compatible bitmap from rows of '#' (kPaint) and '.' (kKey).
void MakeBitmap(CBitmap& bmp, const std::vector<std::string>& rows) {
  const int h = static_cast<int>(rows.size());
  const int w = static_cast<int>(rows[0].size());
  std::vector<std::uint32_t> px;
  for (const auto& r : rows)
    for (char c : r) px.push_back(c == '.' ? 0x00FF00FF : 0x00010203);
  CClientDC screen(nullptr);
  CDC dc;
  dc.CreateCompatibleDC(&screen);
  bmp.CreateCompatibleBitmap(&screen, w, h);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  ::SetDIBits(screen, bmp, 0, static_cast<UINT>(h), px.data(), &bi, DIB_RGB_COLORS);
}

// The shape as the slow, obvious method builds it: GetPixel on every pixel
// and one rectangle per maximal run, OR-ed into the region one by one.
HRGN ReferenceShape(CBitmap& bmp, int clientW, int clientH, COLORREF key) {
  BITMAP bm{};
  bmp.GetBitmap(&bm);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  ScopedSelect hold(dc, bmp);
  HRGN r = ::CreateRectRgn(0, 0, 0, 0);
  const int w = std::min<int>(bm.bmWidth, clientW), h = std::min<int>(bm.bmHeight, clientH);
  for (int y = 0; y < h; ++y) {
    int s = 0;
    for (int x = 0; x <= w; ++x) {
      if (x < w && dc.GetPixel(x, y) != key) continue;
      if (s != x) {
        HRGN run = ::CreateRectRgn(s, y, x, y + 1);
        ::CombineRgn(r, r, run, RGN_OR);
        ::DeleteObject(run);
      }
      s = x + 1;
    }
  }
  return r;
}

HRGN AppliedShape(HWND hwnd) {
  HRGN r = ::CreateRectRgn(0, 0, 0, 0);
  ::GetWindowRgn(hwnd, r);
  return r;
}

bool SameRegion(HRGN a, HRGN b) {
  const bool same = ::EqualRgn(a, b);
  ::DeleteObject(a);
  ::DeleteObject(b);
  return same;
}

// The main dialog's template: a borderless popup; sized in pixels here.
struct ShapedDialog : ZRVBitmapDialog {
  ShapedDialog() : ZRVBitmapDialog(IDD_QUORVANE_DIALOG, nullptr) {
    Create(IDD_QUORVANE_DIALOG);
    SetWindowPos(nullptr, 0, 0, 550, 400, SWP_NOZORDER | SWP_NOACTIVATE);
  }
};

}  // namespace

TEST(BitmapDialog, AppliedRegionIsTheRunsOfNonKeyPixels) {
  ShapedDialog dlg;
  ASSERT_NE(dlg.m_hWnd, nullptr);
  CBitmap bmp;
  MakeBitmap(bmp, {"########",
                   "........",
                   "..####..",
                   ".#.##.#.",
                   "#......#"});
  dlg.AttachBitmap(&bmp);
  dlg.SetShaped(TRUE);
  dlg.SetColorKey(kKey);
  HRGN want = ::CreateRectRgn(0, 0, 8, 1);
  for (RECT r : {RECT{2, 2, 6, 3}, RECT{1, 3, 2, 4}, RECT{3, 3, 5, 4}, RECT{6, 3, 7, 4},
                 RECT{0, 4, 1, 5}, RECT{7, 4, 8, 5}}) {
    HRGN part = ::CreateRectRgnIndirect(&r);
    ::CombineRgn(want, want, part, RGN_OR);
    ::DeleteObject(part);
  }
  EXPECT_TRUE(SameRegion(AppliedShape(dlg.m_hWnd), want));
  // The bitmap is smaller than the client area: nothing beyond it is inside.
  HRGN got = AppliedShape(dlg.m_hWnd);
  RECT box;
  ::GetRgnBox(got, &box);
  ::DeleteObject(got);
  EXPECT_EQ(box.right, 8);
  EXPECT_EQ(box.bottom, 5);
  dlg.ReleaseBitmap();
}

TEST(BitmapDialog, BackgroundResourceGivesTheSameShapeAsGetPixel) {
  ShapedDialog dlg;
  ASSERT_TRUE(dlg.SetBitmap(IDB_BACKGROUND));
  dlg.SetShaped(TRUE);
  dlg.SetColorKey(kKey);
  CBitmap bmp;
  ASSERT_TRUE(bmp.LoadBitmap(IDB_BACKGROUND));
  CRect client;
  dlg.GetClientRect(&client);
  EXPECT_TRUE(SameRegion(AppliedShape(dlg.m_hWnd),
                         ReferenceShape(bmp, client.Width(), client.Height(), kKey)));
  // Scanned only over the client area when the window is smaller.
  dlg.SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  dlg.UpdateShape();
  EXPECT_TRUE(SameRegion(AppliedShape(dlg.m_hWnd), ReferenceShape(bmp, 300, 200, kKey)));
}

TEST(BitmapDialog, WithoutShapingOrKeyTheWindowIsWhole) {
  ShapedDialog dlg;
  CBitmap bmp;
  MakeBitmap(bmp, {"#.#", "..."});
  dlg.AttachBitmap(&bmp);
  // Shaping off: the whole window, whatever the bitmap holds.
  dlg.SetShaped(FALSE);
  EXPECT_TRUE(SameRegion(AppliedShape(dlg.m_hWnd), ::CreateRectRgn(0, 0, 550, 400)));
  // Shaping on, key not yet set: no pixel is cut out of the scanned area.
  dlg.SetShaped(TRUE);
  EXPECT_TRUE(SameRegion(AppliedShape(dlg.m_hWnd), ::CreateRectRgn(0, 0, 3, 2)));
  dlg.ReleaseBitmap();
}

TEST(BitmapDialog, ErasesWithTheBitmapAndFallsBackWhenALoadFails) {
  ShapedDialog dlg;
  CBitmap bmp;
  MakeBitmap(bmp, {"####", "####"});
  CClientDC screen(nullptr);
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  CBitmap target;
  target.CreateCompatibleBitmap(&screen, 8, 8);
  ScopedSelect hold(mem, target);
  auto pixelAfterErase = [&] {
    ::SetPixel(mem, 1, 1, RGB(200, 100, 50));
    dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.m_hDC));
    return ::GetPixel(mem, 1, 1);
  };
  dlg.AttachBitmap(&bmp);
  EXPECT_EQ(pixelAfterErase(), kPaint);
  EXPECT_FALSE(dlg.SetBitmap(nullptr, "Z:\\no\\such\\picture.bmp"));
  EXPECT_NE(pixelAfterErase(), kPaint);  // default erasing: not the old bitmap
  EXPECT_FALSE(dlg.SetBitmap(4242));     // no such resource
}

TEST(BitmapDialog, CopiedBitmapFileIsOwnedAndShapes) {
  // A bitmap file made here, loaded through the file form of SetBitmap.
  char dir[MAX_PATH];
  ::GetTempPathA(sizeof dir, dir);
  const std::string path = std::string(dir) + "qv-shape-test.bmp";
  {
    const int w = 4, h = 2;
    // Bottom-up rows, as bitmap files usually hold them.
    std::uint32_t px[h][w] = {{0x00010203, 0x00010203, 0x00010203, 0x00010203},
                              {0x00FF00FF, 0x00010203, 0x00010203, 0x00FF00FF}};
    BITMAPINFOHEADER bih{sizeof bih, w, h, 1, 32, BI_RGB, sizeof px, 0, 0, 0, 0};
    BITMAPFILEHEADER bfh{0x4D42, static_cast<DWORD>(sizeof bfh + sizeof bih + sizeof px), 0, 0,
                         static_cast<DWORD>(sizeof bfh + sizeof bih)};
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(&bfh, sizeof bfh, 1, f);
    std::fwrite(&bih, sizeof bih, 1, f);
    std::fwrite(px, sizeof px, 1, f);
    std::fclose(f);
  }
  ShapedDialog dlg;
  ASSERT_TRUE(dlg.SetBitmap(nullptr, path.c_str()));
  std::remove(path.c_str());
  dlg.SetShaped(TRUE);
  dlg.SetColorKey(kKey);
  HRGN want = ::CreateRectRgn(1, 0, 3, 1);
  HRGN row = ::CreateRectRgn(0, 1, 4, 2);
  ::CombineRgn(want, want, row, RGN_OR);
  ::DeleteObject(row);
  HRGN got = AppliedShape(dlg.m_hWnd);
  RECT box;
  ::GetRgnBox(got, &box);
  EXPECT_TRUE(SameRegion(got, want))
      << "box " << box.left << "," << box.top << "," << box.right << "," << box.bottom;
}

TEST(BitmapDialog, ControlColours) {
  ShapedDialog dlg;
  HWND label = ::CreateWindowExA(0, "Static", "label", WS_CHILD | WS_VISIBLE, 0, 0, 50, 10,
                                 dlg.m_hWnd, nullptr, nullptr, nullptr);
  HWND trackbar = ::CreateWindowExA(0, "msctls_trackbar32", "", WS_CHILD | WS_VISIBLE, 0, 20, 80,
                                    20, dlg.m_hWnd, nullptr, nullptr, nullptr);
  ASSERT_NE(trackbar, nullptr);
  CClientDC screen(nullptr);
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  auto ask = [&](UINT msg, HWND control) {
    mem.SetBkMode(OPAQUE);
    return reinterpret_cast<HBRUSH>(
        dlg.SendMessage(msg, reinterpret_cast<WPARAM>(mem.m_hDC), reinterpret_cast<LPARAM>(control)));
  };
  HBRUSH hollow = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));

  // Transparent statics (on by default): hollow brush, transparent text.
  EXPECT_EQ(ask(WM_CTLCOLORSTATIC, label), hollow);
  EXPECT_EQ(::GetBkMode(mem), TRANSPARENT);
  // A trackbar keeps its normal look.
  EXPECT_NE(ask(WM_CTLCOLORSTATIC, trackbar), hollow);
  EXPECT_EQ(::GetBkMode(mem), OPAQUE);
  // Off: the default brush.
  dlg.SetTransparentStatics(FALSE);
  EXPECT_NE(ask(WM_CTLCOLORSTATIC, label), hollow);

  // List boxes: one solid brush of RGB(214, 211, 206), kept.
  HWND list = dlg.GetDlgItem(IDC_AIRLINE_LIST);
  HBRUSH first = ask(WM_CTLCOLORLISTBOX, list);
  LOGBRUSH lb{};
  ASSERT_EQ(::GetObjectA(first, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(lb.lbColor, RGB(214, 211, 206));
  EXPECT_EQ(ask(WM_CTLCOLORLISTBOX, list), first);
}

TEST(BitmapDialog, PressOnTheSurfaceStartsAMoveOnlyWithDragAnywhere) {
  ShapedDialog dlg;
  auto pressAndTakeMove = [&](MSG* out) {
    dlg.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 30));
    return ::PeekMessageA(out, dlg.m_hWnd, WM_NCLBUTTONDOWN, WM_NCLBUTTONDOWN, PM_REMOVE);
  };
  MSG msg;
  EXPECT_FALSE(pressAndTakeMove(&msg));
  dlg.SetDragAnywhere(TRUE);
  ASSERT_TRUE(pressAndTakeMove(&msg));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(msg.lParam, MAKELPARAM(40, 30));
}
