// File formats of the Windows resources.
#pragma once

#include <cstdint>
#include <vector>

#include "image.h"

namespace art {

using Bytes = std::vector<uint8_t>;

// 24-bit, bottom-up, BITMAPINFOHEADER. Alpha is ignored.
Bytes encodeBmp24(const Image& img);

// 8-bit with a 256-entry palette chosen for the picture (median cut).
Bytes encodeBmp8(const Image& img);

// An icon file holding each image as a 32-bit BGRA bitmap with an AND mask
// (for systems that ignore alpha, pixels under half opacity are masked out).
Bytes encodeIco(const std::vector<Image>& images);

// Palette of at most 256 colours for the picture, and every pixel's index.
struct Indexed {
    std::vector<Rgb> palette;
    std::vector<uint8_t> index;  // row by row, top row first
};
Indexed quantise(const Image& img);

}  // namespace art
