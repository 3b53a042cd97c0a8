// A built-in 5 x 8 pixel font (seven rows plus a descender row), so that
// the pictures need no font files. Text is rendered to a coverage mask that
// can be scaled by whole factors, optionally with smoothed diagonals.
#pragma once

#include <string>
#include <vector>

#include "draw.h"
#include "image.h"

namespace art {

struct Mask {
    int w = 0, h = 0;
    std::vector<float> cover;  // 0..1 per pixel, row by row

    float at(int x, int y) const {
        return x < 0 || y < 0 || x >= w || y >= h ? 0.f : cover[size_t(y) * size_t(w) + size_t(x)];
    }
};

constexpr int kGlyphRows = 8;
constexpr int kAdvance = 6;  // five columns plus one of spacing

int textWidth(const std::string& text, int scale);
int textHeight(int scale);

// `smooth` rounds the staircase of diagonals and curves (worth it from
// scale 2 up); without it every font pixel becomes a crisp square.
Mask textMask(const std::string& text, int scale, bool smooth);

// Grows the mask by r pixels in every direction; the result is 2r wider and
// higher, so draw it r pixels up and left of the original.
Mask dilate(const Mask& m, int r);

void drawMask(Image& img, const Mask& m, int x, int y, const Paint& paint, double opacity = 1.0);

// Convenience for plain text.
void drawText(Image& img, int x, int y, const std::string& text, int scale, Rgb c, bool smooth = false);

}  // namespace art
