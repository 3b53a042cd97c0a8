// The outline of a shaped window, computed from the pixels of its
// background: every maximal horizontal run of non-key pixels becomes one
// rectangle one pixel high (right and bottom edges exclusive).
#pragma once

#include <cstdint>
#include <vector>

namespace ui {

struct RunRect {
  int left, top, right, bottom;
  bool operator==(const RunRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// A read-only view of 32-bit pixels as a DIB holds them: 0x00RRGGBB, the top
// byte ignored. pixels points at the top row; stride is the distance from
// one row to the next one down, in pixels (negative for bottom-up storage).
struct PixelGrid {
  const std::uint32_t* pixels;
  int width;
  int height;
  int stride;
};

// The key colour is given as a COLORREF (0x00BBGGRR). A COLORREF with any bit
// of its top byte set (CLR_INVALID for one) equals no pixel colour.
class ColorKey {
 public:
  explicit ColorKey(std::uint32_t colorref);
  bool Matches(std::uint32_t dibPixel) const {
    return m_canMatch && (dibPixel & 0x00FFFFFFu) == m_dibKey;
  }

 private:
  std::uint32_t m_dibKey;
  bool m_canMatch;
};

// Scans the top-left min(bitmap, client) area of the grid and returns the
// runs, offset by (originX, originY), row by row from the top, left to right.
// Pixels outside the scanned area belong to no run.
std::vector<RunRect> BuildShapeRuns(const PixelGrid& grid, int clientWidth,
                                    int clientHeight, const ColorKey& key,
                                    int originX = 0, int originY = 0);

// The same area in fewer rectangles: consecutive rows whose runs are equal
// become one band (rectangles taller than one pixel). The result stays in
// the y-x banded order that regions are built from.
std::vector<RunRect> MergeEqualRows(const std::vector<RunRect>& runs);

}  // namespace ui
