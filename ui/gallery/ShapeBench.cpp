// Times one UpdateShape of the shaped dialog over the 550 x 400 background
// (shaping on, magenta key). Prints the best and the median of N runs.
//   ui-shape-bench.exe [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ShapeRuns.h"
#include "ZRVBitmapDialog.h"
#include "framework/Dc.h"
#include "resource.h"

using namespace ui;

namespace {
double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The steps of one UpdateShape, timed one by one (medians).
void Breakdown(HWND hwnd, int runs) {
  CBitmap bmp;
  bmp.LoadBitmap(IDB_BACKGROUND);
  BITMAP bm{};
  bmp.GetBitmap(&bm);
  std::vector<std::uint32_t> px(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<double> read, scan, build, apply;
  size_t count = 0;
  for (int i = 0; i < runs; ++i) {
    double t0 = Now();
    {
      CClientDC screen(nullptr);
      ::GetDIBits(screen, bmp, 0, static_cast<UINT>(bm.bmHeight), px.data(), &bi, DIB_RGB_COLORS);
    }
    double t1 = Now();
    auto found = ui::BuildShapeRuns({px.data(), bm.bmWidth, bm.bmHeight, bm.bmWidth}, 550, 400,
                                    ui::ColorKey(RGB(255, 0, 255)));
    double t2 = Now();
    found = ui::MergeEqualRows(found);
    std::vector<RECT> rects(found.size());
    for (size_t k = 0; k < found.size(); ++k)
      rects[k] = RECT{found[k].left, found[k].top, found[k].right, found[k].bottom};
    CRgn rgn;
    rgn.CreateFromRects(rects.data(), static_cast<int>(rects.size()));
    double t3 = Now();
    (void)t3;
    ::SetWindowRgn(hwnd, static_cast<HRGN>(rgn.Detach()), TRUE);
    double t4 = Now();
    read.push_back(t1 - t0);
    scan.push_back(t2 - t1);
    build.push_back(t3 - t2);
    apply.push_back(t4 - t3);
    count = found.size();
  }
  std::printf("  steps (median): GetDIBits %.3f ms, scan %.3f ms (%zu runs), "
              "ExtCreateRegion %.3f ms, SetWindowRgn %.3f ms\n",
              Median(read), Median(scan), count, Median(build), Median(apply));
}

class BenchDialog : public ZRVBitmapDialog {
 public:
  BenchDialog() : ZRVBitmapDialog(IDD_QUORVANE_DIALOG, nullptr) {}
};
}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  BenchDialog dlg;
  if (!dlg.Create(IDD_QUORVANE_DIALOG)) {
    std::fprintf(stderr, "cannot create the dialog\n");
    return 1;
  }
  dlg.SetWindowPos(nullptr, 0, 0, 550, 400, SWP_NOZORDER | SWP_NOACTIVATE);
  if (!dlg.SetBitmap(IDB_BACKGROUND)) {
    std::fprintf(stderr, "cannot load bitmap %d\n", IDB_BACKGROUND);
    return 1;
  }
  dlg.SetColorKey(RGB(255, 0, 255));
  dlg.SetShaped(TRUE);

  LARGE_INTEGER freq, t0, t1;
  ::QueryPerformanceFrequency(&freq);
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    ::QueryPerformanceCounter(&t0);
    dlg.UpdateShape();
    ::QueryPerformanceCounter(&t1);
    ms.push_back(1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) /
                 static_cast<double>(freq.QuadPart));
  }
  std::sort(ms.begin(), ms.end());
  std::printf("UpdateShape 550x400: runs %d, best %.3f ms, median %.3f ms, worst %.3f ms\n", runs,
              ms.front(), ms[ms.size() / 2], ms.back());
  Breakdown(dlg.m_hWnd, runs);
  return 0;
}
