// The main dialog's skin: a sky-and-runway scene inside an outline with a
// tail fin rising from its top edge. The dialog's controls sit on two light
// panels; everything outside the outline is the colour key, so it becomes a
// hole in the window.
#include <string>

#include "artwork.h"
#include "font.h"
#include "motifs.h"

namespace art {

namespace {

constexpr int kW = 550, kH = 400;
constexpr double kHorizon = 292;

const Rgb kNavy = hex(0x13284A);
const Rgb kPanel = hex(0xF4F7FA);
const Rgb kPanelLow = hex(0xE3EAF1);
const Rgb kPanelEdge = hex(0x8497B0);
const Rgb kGold = hex(0xF2B233);

Sdf finShape() {
    // Drawn 3 px inside the wanted edge and grown again to round its corners.
    return inset(polygonSdf({{418, 34}, {466, 4}, {508, 4}, {524, 34}}), -3);
}

Sdf outline() {
    return unite(roundRectSdf(6, 26, 544, 394, 22), finShape());
}

// The controls of the left column (picture, folder fields, progress bars,
// text) sit on one L-shaped panel, the list box and the two big buttons on
// another.
Sdf leftPanel() {
    return unite(roundRectSdf(32, 33, 208, 176, 10), roundRectSdf(32, 158, 298, 356, 10));
}
Sdf rightPanel() { return roundRectSdf(328, 44, 512, 342, 10); }

void sky(Image& img) {
    fillRect(img, {0, 0, kW, int(kHorizon)},
             linear({0, 0}, {0, kHorizon},
                    {{0, hex(0x123E7C)}, {0.45, hex(0x3F86C8)}, {0.82, hex(0x9FCBEA)}, {1, hex(0xE4EEF2)}}));
    // Late-afternoon sun low over the far end of the runway.
    glow(img, circleSdf(318, kHorizon, 40), 200, hex(0xFFF3D6), 0.6);

    // Fair-weather cumulus: clusters of soft puffs with a faintly shaded base.
    const struct { double x, y, s; } clouds[] = {
        {60, 40, 1.0}, {250, 32, 0.8}, {540, 96, 1.1}, {210, 190, 0.9}, {470, 232, 0.7}, {40, 258, 0.8},
    };
    for (const auto& c : clouds) {
        const double puffs[][3] = {{-24, 4, 10}, {-10, -3, 14}, {8, -6, 16}, {24, 0, 12}, {36, 5, 8}};
        Sdf cloud = ellipseSdf(c.x + 4 * c.s, c.y + 8 * c.s, 42 * c.s, 7 * c.s);
        for (const auto& p : puffs) cloud = unite(cloud, circleSdf(c.x + p[0] * c.s, c.y + p[1] * c.s, p[2] * c.s));
        glow(img, cloud, 10, hex(0xFFFFFF), 0.35);
        fill(img, cloud, linear({0, c.y - 20 * c.s}, {0, c.y + 14 * c.s},
                                {{0, hex(0xFFFFFF)}, {0.7, hex(0xF2F6FA)}, {1, hex(0xC9D8E6)}}), 0.85);
    }
}

void ground(Image& img) {
    fillRect(img, {0, int(kHorizon), kW, kH},
             linear({0, kHorizon}, {0, kH}, {{0, hex(0x8DA58A)}, {0.25, hex(0x6E8C63)}, {1, hex(0x3F5A3A)}}));
    // Blue distant hills sitting on the horizon.
    fill(img, subtract(unite(ellipseSdf(90, kHorizon + 4, 150, 14), ellipseSdf(470, kHorizon + 4, 170, 11)),
                       rectSdf(0, kHorizon + 1, kW, kH)),
         solid(hex(0x8FA8BD)), 0.9);

    // The runway in perspective, vanishing at the sun.
    const Pt vp{318, kHorizon};
    auto atDepth = [&](double y, double offset) {  // offset -1..1 across the runway
        const double t = (y - vp.y) / (kH - vp.y);
        return Pt{vp.x + offset * (6 + 134 * t), y};
    };
    const double top = kHorizon + 1;
    fill(img, polygonSdf({atDepth(top, -1), atDepth(top, 1), atDepth(kH + 10, 1), atDepth(kH + 10, -1)}),
         linear({0, top}, {0, kH}, {{0, hex(0x8E9098)}, {1, hex(0x4A4D55)}}));
    for (double side : {-0.93, 0.93}) line(img, atDepth(top + 2, side), atDepth(kH + 10, side), 1.2, hex(0xEDEDE6), 0.8);
    // Centre-line dashes get longer as they come closer.
    for (double y = top + 3, len = 2; y < kH; y += len * 2.2, len *= 1.35)
        line(img, atDepth(y, 0), atDepth(y + len, 0), 0.6 + len / 12, hex(0xF4F4EE), 0.9);
    // Approach lights glowing at the far threshold.
    for (int i = -3; i <= 3; ++i) {
        const Pt p = atDepth(top + 1.5, i * 0.33);
        glow(img, circleSdf(p.x, p.y, 0.8), 3, hex(0xFFE6A0), 0.8);
    }
}

void airliner(Image& img) {
    const Pt at{268, 96};
    const double heading = -32;
    // Faint contrails from the two engines, drawn first so the aircraft covers their start.
    for (double side : {-1.0, 1.0}) {
        const auto p = place({{-8, side * 17}, {-150, side * 24}}, 1.05, heading, at);
        for (int k = 0; k < 6; ++k)
            line(img, p[0], {p[0].x + (p[1].x - p[0].x) * (k + 1) / 6, p[0].y + (p[1].y - p[0].y) * (k + 1) / 6},
                 2.2 + k * 0.5, hex(0xFFFFFF), 0.07);
    }
    fill(img, airlinerPlan(at, 1.05, heading),
         linear({at.x - 40, at.y - 40}, {at.x + 40, at.y + 40}, {{0, hex(0x3A4E6E)}, {1, hex(0x142440)}}));
}

void panel(Image& img, const Sdf& shape) {
    glow(img, inset(shape, -1), 8, hex(0x0B1A33), 0.35);
    fill(img, shape, linear({0, 40}, {0, 356}, {{0, kPanel}, {1, kPanelLow}}), 0.96);
    fill(img, ring(shape, 1.2), solid(kPanelEdge));
    fill(img, ring(inset(shape, 1.2), 1), solid(hex(0xFFFFFF)), 0.8);
}

void panels(Image& img) {
    panel(img, leftPanel());
    panel(img, rightPanel());
    // A thin gold rule under the list, echoing the livery on the fin.
    line(img, {345, 270}, {495, 270}, 1.0, kGold, 0.9);
    // Frame for the picture, slightly outside its control edge.
    fill(img, ring(roundRectSdf(41, 38, 199, 166, 3), 2), solid(hex(0xFFFFFF)));
    fill(img, ring(roundRectSdf(39, 36, 201, 168, 4), 1), solid(kPanelEdge));
}

void fin(Image& img) {
    // Only the part above the frame's top edge shows as fin.
    const Sdf shape = intersect(finShape(), rectSdf(0, 0, kW, 29));
    fill(img, shape, linear({420, 30}, {520, 2}, {{0, hex(0x1A3F78)}, {1, hex(0x0D2247)}}));
    // Gold and white cheat lines sweeping up the fin.
    fill(img, intersect(shape, polygonSdf({{400, 34}, {540, 14}, {540, 21}, {400, 41}})), solid(kGold));
    fill(img, intersect(shape, polygonSdf({{400, 31}, {540, 11}, {540, 12.6}, {400, 32.6}})), solid(hex(0xFFFFFF)));
    // The program's "Q" emblem.
    fill(img, ring(circleSdf(484, 10.5, 6), 2.1), solid(hex(0xFFFFFF)));
    line(img, {486.2, 12.7}, {491, 17.3}, 2.3, hex(0xFFFFFF));
}

void title(Image& img) {
    const std::string name = "Quorvane";
    const Mask m = textMask(name, 3, true);
    const int x = 44, y = 363;
    // A soft drop shadow (grown by 2, moved 1 right and 2 down), a navy rim, the face.
    drawMask(img, dilate(m, 2), x - 1, y, solid(hex(0x0B1A33)), 0.45);
    drawMask(img, dilate(m, 1), x - 1, y - 1, solid(kNavy));
    drawMask(img, m, x, y, linear({0, double(y)}, {0, y + 21.0}, {{0, hex(0xFFFFFF)}, {1, hex(0xD8E6F4)}}));
    // The tag line sits on a badge of its own so the runway lines behind it
    // do not cut through the small letters.
    const std::string tag = "AIRLINE REPAINT INSTALLER";
    const int tx = 206, ty = 372;
    const Sdf badge = roundRectSdf(tx - 7, ty - 5, tx + textWidth(tag, 1) + 7, ty + 12, 5);
    fill(img, badge, solid(kNavy), 0.85);
    fill(img, ring(badge, 1), solid(kGold), 0.8);
    drawText(img, tx, ty, tag, 1, hex(0xF3F6FA));
}

void border(Image& img) {
    const Sdf shape = outline();
    fill(img, ring(shape, 3), solid(kNavy));
    fill(img, ring(inset(shape, 3), 1), solid(hex(0x9DB5D2)), 0.7);
}

}  // namespace

Image drawBackground() {
    Image img(kW, kH);
    sky(img);
    ground(img);
    airliner(img);
    panels(img);
    fin(img);
    title(img);
    border(img);
    // The window's outline: outside it the key colour, with a hard edge.
    const Sdf shape = outline();
    fillHard(img, [&](double x, double y) { return -shape(x, y); }, kMagenta);
    return img;
}

}  // namespace art
