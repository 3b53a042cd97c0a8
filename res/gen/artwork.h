// The complete set of resource pictures, by file name.
#pragma once

#include <string>
#include <vector>

#include "codecs.h"
#include "image.h"

namespace art {

// One function per picture; each returns the finished pixels.
Image drawBackground();    // main dialog skin, 550 x 400, magenta cut-outs
Image drawPicture();       // picture in the dialog, 150 x 120
Image drawGoodbye();       // farewell splash, 300 x 100
Image drawWideButtons();   // Exit / Install frames, 700 x 30, 106 px each
Image drawSmallButtons();  // "..." frames, 180 x 23, 25 px each
Image drawIcon(int size);  // 32 or 16

struct ArtFile {
    std::string name;
    Bytes bytes;
};

std::vector<ArtFile> renderAll();

// Creates dir if needed and writes every file into it. On failure returns
// false with a message in `error`.
bool writeAll(const std::string& dir, std::string& error);

}  // namespace art
