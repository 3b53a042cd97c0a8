// A small RGBA raster that everything in the generator draws into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace art {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

inline bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
inline bool operator!=(Rgb a, Rgb b) { return !(a == b); }

// The colour key of the resources: pixels of exactly this colour are holes.
constexpr Rgb kMagenta{255, 0, 255};

constexpr Rgb hex(uint32_t v) {
    return Rgb{uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

// Linear mix, t = 0 gives a, t = 1 gives b.
Rgb mix(Rgb a, Rgb b, double t);

// Pixels carry straight (not premultiplied) alpha. The resources are opaque;
// only the icon uses the alpha channel.
class Image {
public:
    Image(int width, int height, Rgb fill = Rgb{}, uint8_t alpha = 255);

    int width() const { return w_; }
    int height() const { return h_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }

    Rgb at(int x, int y) const { return px_[index(x, y)]; }
    uint8_t alphaAt(int x, int y) const { return alpha_[index(x, y)]; }

    // Writes outside the image are ignored, so shapes may overhang the edges.
    void set(int x, int y, Rgb c, uint8_t alpha = 255);
    // Source-over compositing of c with the given opacity (0..1).
    void blend(int x, int y, Rgb c, double opacity);

    // Copies src with its top-left corner at (x, y), replacing pixels.
    void paste(const Image& src, int x, int y);

private:
    std::size_t index(int x, int y) const { return std::size_t(y) * std::size_t(w_) + std::size_t(x); }

    int w_, h_;
    std::vector<Rgb> px_;
    std::vector<uint8_t> alpha_;
};

}  // namespace art
