#include "image.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {
uint8_t channel(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }
}  // namespace

Rgb mix(Rgb a, Rgb b, double t) {
    return Rgb{channel(a.r + (b.r - a.r) * t), channel(a.g + (b.g - a.g) * t),
               channel(a.b + (b.b - a.b) * t)};
}

Image::Image(int width, int height, Rgb fill, uint8_t alpha)
    : w_(width), h_(height), px_(size_t(width) * size_t(height), fill),
      alpha_(size_t(width) * size_t(height), alpha) {}

void Image::set(int x, int y, Rgb c, uint8_t alpha) {
    if (!contains(x, y)) return;
    px_[index(x, y)] = c;
    alpha_[index(x, y)] = alpha;
}

void Image::blend(int x, int y, Rgb c, double opacity) {
    if (!contains(x, y) || opacity <= 0) return;
    opacity = std::min(opacity, 1.0);
    const size_t i = index(x, y);
    const double dst = alpha_[i] / 255.0;
    const double out = opacity + dst * (1 - opacity);
    // Weight of the new colour within the result; equals opacity when the
    // destination is opaque.
    const double t = opacity / out;
    px_[i] = mix(px_[i], c, t);
    alpha_[i] = channel(out * 255);
}

void Image::paste(const Image& src, int x, int y) {
    for (int sy = 0; sy < src.height(); ++sy)
        for (int sx = 0; sx < src.width(); ++sx)
            set(x + sx, y + sy, src.at(sx, sy), src.alphaAt(sx, sy));
}

}  // namespace art
