#include "ShapeRuns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using ui::BuildShapeRuns;
using ui::ColorKey;
using ui::PixelGrid;
using ui::RunRect;

namespace {

constexpr std::uint32_t kMagentaRef = 0x00FF00FF;  // COLORREF RGB(255, 0, 255)
constexpr std::uint32_t kMagentaDib = 0x00FF00FF;  // same in 0x00RRGGBB
constexpr std::uint32_t kBlue = 0x002A5D9F;

// Rows of '#' (opaque) and '.' (key) pixels.
struct Picture {
  std::vector<std::uint32_t> px;
  int w = 0, h = 0;
  explicit Picture(std::vector<std::string> rows) {
    h = static_cast<int>(rows.size());
    w = h ? static_cast<int>(rows[0].size()) : 0;
    for (const auto& r : rows)
      for (char c : r) px.push_back(c == '.' ? kMagentaDib : kBlue);
  }
  PixelGrid grid() const { return {px.data(), w, h, w}; }
};

std::vector<RunRect> Runs(const Picture& p, int cw, int ch, std::uint32_t key = kMagentaRef) {
  return BuildShapeRuns(p.grid(), cw, ch, ColorKey(key));
}

}  // namespace

TEST(ShapeRuns, RowsWithAndWithoutKeyPixels) {
  Picture p({"####",   // no key pixel: one run over the whole width
             "....",   // only key pixels: no run
             "..##",   // leading key pixels: the run starts at the first opaque one
             "##..",   // trailing key pixels: the run ends before them
             ".#.."});  // a single opaque pixel between key pixels: 1 x 1
  std::vector<RunRect> want = {{0, 0, 4, 1}, {2, 2, 4, 3}, {0, 3, 2, 4}, {1, 4, 2, 5}};
  EXPECT_EQ(Runs(p, 4, 5), want);
}

TEST(ShapeRuns, SeveralRunsInOneRowAndKeysInARow) {
  Picture p({"#..##.#"});
  std::vector<RunRect> want = {{0, 0, 1, 1}, {3, 0, 5, 1}, {6, 0, 7, 1}};
  EXPECT_EQ(Runs(p, 7, 1), want);
}

TEST(ShapeRuns, BitmapLargerThanClientIsScannedOverTheClientOnly) {
  Picture p({"#####",
             "#####",
             "#####"});
  // The client is 3 x 2: the last row and the last two columns are outside.
  std::vector<RunRect> want = {{0, 0, 3, 1}, {0, 1, 3, 2}};
  EXPECT_EQ(Runs(p, 3, 2), want);
  // A key pixel just past the client edge does not split the run.
  Picture q({"###.#"});
  EXPECT_EQ(Runs(q, 3, 1), (std::vector<RunRect>{{0, 0, 3, 1}}));
}

TEST(ShapeRuns, BitmapSmallerThanClientLeavesTheRestOutside) {
  Picture p({"##",
             "#."});
  std::vector<RunRect> want = {{0, 0, 2, 1}, {0, 1, 1, 2}};
  EXPECT_EQ(Runs(p, 100, 100), want);
}

TEST(ShapeRuns, OriginOffsetsEveryRun) {
  Picture p({".#"});
  auto runs = BuildShapeRuns(p.grid(), 2, 1, ColorKey(kMagentaRef), 10, 20);
  EXPECT_EQ(runs, (std::vector<RunRect>{{11, 20, 12, 21}}));
}

TEST(ShapeRuns, KeyComparesTheWholeColourAndIgnoresThePixelsTopByte) {
  // RGB(255, 0, 254) is not the key; the top byte of a DIB pixel (alpha) is
  // not part of the colour.
  std::vector<std::uint32_t> px = {0xFFFF00FF, 0x00FF00FE, 0x00FF00FF};
  PixelGrid g{px.data(), 3, 1, 3};
  EXPECT_EQ(BuildShapeRuns(g, 3, 1, ColorKey(kMagentaRef)), (std::vector<RunRect>{{1, 0, 2, 1}}));
  // A key with bits in its top byte (CLR_INVALID) matches nothing: full rows.
  EXPECT_EQ(BuildShapeRuns(g, 3, 1, ColorKey(0xFFFFFFFF)), (std::vector<RunRect>{{0, 0, 3, 1}}));
  // COLORREF byte order: RGB(1, 2, 3) is 0x00030201 and matches DIB 0x00010203.
  std::uint32_t one = 0x00010203;
  PixelGrid g1{&one, 1, 1, 1};
  EXPECT_TRUE(BuildShapeRuns(g1, 1, 1, ColorKey(0x00030201)).empty());
}

TEST(ShapeRuns, StrideLongerThanWidth) {
  // Rows padded with two extra pixels that must not be read as pixels.
  std::vector<std::uint32_t> px = {kBlue, kMagentaDib, 0, 0,
                                   kMagentaDib, kBlue, 0, 0};
  PixelGrid g{px.data(), 2, 2, 4};
  EXPECT_EQ(BuildShapeRuns(g, 2, 2, ColorKey(kMagentaRef)),
            (std::vector<RunRect>{{0, 0, 1, 1}, {1, 1, 2, 2}}));
}

TEST(ShapeRuns, MergeEqualRowsKeepsTheAreaInBands) {
  Picture p({"#..#",
             "#..#",
             "####",
             "#..#",
             "....",
             "#..#"});
  auto merged = ui::MergeEqualRows(Runs(p, 4, 6));
  std::vector<RunRect> want = {{0, 0, 1, 2}, {3, 0, 4, 2},  // rows 0-1
                               {0, 2, 4, 3},                // row 2
                               {0, 3, 1, 4}, {3, 3, 4, 4},  // row 3: not joined across row 2
                               {0, 5, 1, 6}, {3, 5, 4, 6}}; // row 5: not joined across the empty row
  EXPECT_EQ(merged, want);
  EXPECT_TRUE(ui::MergeEqualRows({}).empty());
}

TEST(ShapeRuns, BottomUpRowsThroughANegativeStride) {
  // Stored bottom row first, as a bottom-up DIB holds them.
  std::vector<std::uint32_t> px = {kMagentaDib, kBlue,    // bottom row: ".#"
                                   kBlue, kMagentaDib};   // top row:    "#."
  PixelGrid g{px.data() + 2, 2, 2, -2};
  EXPECT_EQ(BuildShapeRuns(g, 2, 2, ColorKey(kMagentaRef)),
            (std::vector<RunRect>{{0, 0, 1, 1}, {1, 1, 2, 2}}));
}
