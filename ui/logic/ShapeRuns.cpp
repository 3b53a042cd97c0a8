#include "ShapeRuns.h"

#include <algorithm>

namespace ui {

ColorKey::ColorKey(std::uint32_t colorref)
    : m_dibKey(((colorref & 0xFFu) << 16) | (colorref & 0xFF00u) | ((colorref >> 16) & 0xFFu)),
      m_canMatch((colorref & 0xFF000000u) == 0) {}

std::vector<RunRect> BuildShapeRuns(const PixelGrid& grid, int clientWidth,
                                    int clientHeight, const ColorKey& key,
                                    int originX, int originY) {
  std::vector<RunRect> runs;
  const int w = std::max(0, std::min(grid.width, clientWidth));
  const int h = std::max(0, std::min(grid.height, clientHeight));
  for (int y = 0; y < h; ++y) {
    const std::uint32_t* row = grid.pixels + static_cast<std::ptrdiff_t>(y) * grid.stride;
    int start = 0;
    for (int x = 0; x < w; ++x) {
      if (!key.Matches(row[x])) continue;
      if (start != x) runs.push_back({originX + start, originY + y, originX + x, originY + y + 1});
      start = x + 1;
    }
    if (start != w) runs.push_back({originX + start, originY + y, originX + w, originY + y + 1});
  }
  return runs;
}

std::vector<RunRect> MergeEqualRows(const std::vector<RunRect>& runs) {
  std::vector<RunRect> out;
  out.reserve(runs.size());
  size_t bandStart = 0;  // first rectangle of the band being extended in `out`
  size_t bandCount = 0;
  size_t i = 0;
  while (i < runs.size()) {
    // One row of the input: runs[i, j).
    size_t j = i;
    while (j < runs.size() && runs[j].top == runs[i].top) ++j;
    const size_t n = j - i;
    bool extend = bandCount == n && n > 0 && out[bandStart].bottom == runs[i].top;
    for (size_t k = 0; extend && k < n; ++k)
      extend = out[bandStart + k].left == runs[i + k].left &&
               out[bandStart + k].right == runs[i + k].right;
    if (extend) {
      for (size_t k = 0; k < n; ++k) out[bandStart + k].bottom = runs[i + k].bottom;
    } else {
      bandStart = out.size();
      bandCount = n;
      out.insert(out.end(), runs.begin() + static_cast<std::ptrdiff_t>(i),
                 runs.begin() + static_cast<std::ptrdiff_t>(j));
    }
    i = j;
  }
  return out;
}

}  // namespace ui
