// Frame strips of the owner-drawn buttons. The program draws the label on
// top, so the frames carry no text: the wide Exit / Install buttons are
// light under a black label, the small browse buttons dark under a white
// "...". Only part of each frame is shown (see the sizes below); everything
// else, and the rounded corners, is the colour key.
#include "artwork.h"
#include "draw.h"

namespace art {

namespace {

struct Look {
    Rgb top, middle, bottom;  // body gradient
    Rgb edge;                 // 1 px border
    Rgb highlight;            // inner rim along the top edge
    double highlightOpacity;
    bool pushedIn;            // inner shadow along the top and left
    Rgb accent;               // optional inner ring (focus-like frames)
    bool hasAccent;
};

enum Frame { kNormal, kHover, kHoverAlt, kPressed, kDisabled, kFocus };

void drawFrame(Image& img, int x0, int w, int h, double radius, const Look& k) {
    const Sdf body = roundRectSdf(x0, 0, x0 + w, h, radius);
    // The body's own edge is hard: it meets the colour key.
    fillHard(img, body, k.bottom);
    const Box box{x0, 0, x0 + w, h};
    fill(img, inset(body, 1), linear({0, 1}, {0, h - 1.0}, {{0, k.top}, {0.5, k.middle}, {1, k.bottom}}), box);
    if (k.pushedIn) {
        const Sdf inner = inset(body, 1);
        fill(img, intersect(ring(inner, 2), rectSdf(x0, 0, x0 + w, h / 2.0)), solid(hex(0x000000)), box, 0.22);
        fill(img, intersect(ring(inner, 1), rectSdf(x0, 0, x0 + 3, h)), solid(hex(0x000000)), box, 0.15);
    } else {
        fill(img, intersect(ring(inset(body, 1), 1), rectSdf(x0, 0, x0 + w, h * 0.45)), solid(k.highlight), box,
             k.highlightOpacity);
    }
    if (k.hasAccent) fill(img, ring(inset(body, 1), 1.2), solid(k.accent), box, 0.9);
    // Border last, painted over the body so its outermost pixels stay clean.
    fillHard(img, subtract(body, inset(body, 1)), k.edge);
    fill(img, ring(inset(body, 0.5), 1), solid(k.edge), box, 0.6);
}

Image strip(int width, int height, int frameW, int bodyW, int bodyH, double radius, const Look (&looks)[6]) {
    Image img(width, height, kMagenta);
    for (int i = 0; (i + 1) * frameW <= width; ++i)
        drawFrame(img, i * frameW, bodyW, bodyH, radius, looks[i % 6]);
    return img;
}

}  // namespace

Image drawWideButtons() {
    // 106 px frames, shown clipped to their top 25 rows.
    const Rgb navy = hex(0x4D6688), gold = hex(0xD79A2B);
    const Look looks[6] = {
        {hex(0xFBFDFF), hex(0xE6EEF6), hex(0xC8D5E4), navy, hex(0xFFFFFF), 0.9, false, {}, false},
        {hex(0xFFFFFF), hex(0xFFF3D9), hex(0xF0D494), hex(0xA9822F), hex(0xFFFFFF), 0.9, false, {}, false},
        {hex(0xFFFFFF), hex(0xE3F0FD), hex(0xB7D3F0), hex(0x3D6DA6), hex(0xFFFFFF), 0.9, false, {}, false},
        {hex(0xBCCADA), hex(0xCFDAE6), hex(0xDDE6EF), hex(0x3A5274), hex(0xFFFFFF), 0.0, true, {}, false},
        {hex(0xEDEDED), hex(0xE2E2E2), hex(0xD5D5D5), hex(0xA4A7AB), hex(0xFFFFFF), 0.5, false, {}, false},
        {hex(0xFBFDFF), hex(0xE6EEF6), hex(0xC8D5E4), navy, hex(0xFFFFFF), 0.9, false, gold, true},
    };
    return strip(700, 30, 106, 106, 25, 7, looks);
}

Image drawSmallButtons() {
    // 25 x 23 frames, shown clipped to their top-left 20 x 20 pixels.
    const Rgb edge = hex(0x07142A);
    const Look looks[6] = {
        {hex(0x3A6AA8), hex(0x1E3F72), hex(0x11284D), edge, hex(0x8FB4E0), 0.7, false, {}, false},
        {hex(0x4C82C8), hex(0x2A5593), hex(0x183A6C), edge, hex(0xA9CBF2), 0.8, false, {}, false},
        {hex(0x2F7F9A), hex(0x1B5A72), hex(0x10394C), edge, hex(0x8FD0E0), 0.7, false, {}, false},
        {hex(0x0B1C38), hex(0x14305A), hex(0x1C3D6E), edge, hex(0x000000), 0.0, true, {}, false},
        {hex(0x7A8088), hex(0x666B73), hex(0x555A61), hex(0x3B3F45), hex(0xB0B4BA), 0.4, false, {}, false},
        {hex(0x3A6AA8), hex(0x1E3F72), hex(0x11284D), edge, hex(0x8FB4E0), 0.7, false, hex(0xF2B233), true},
    };
    return strip(180, 23, 25, 20, 20, 4, looks);
}

}  // namespace art
