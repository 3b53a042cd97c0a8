// The smaller pictures: the one in the dialog, the goodbye splash and the
// icon. All three share the airline's livery: navy fin, gold band, white Q.
#include <string>

#include "artwork.h"
#include "draw.h"
#include "font.h"
#include "motifs.h"

namespace art {

namespace {

const Rgb kNavy = hex(0x0F2B5C);
const Rgb kNavyLight = hex(0x24569A);
const Rgb kGold = hex(0xF2B233);
const Rgb kWhite = hex(0xFFFFFF);

// The Q emblem: a ring with a short diagonal tail through its lower right.
void emblem(Image& img, Pt c, double r, double stroke, Rgb colour) {
    fill(img, ring(circleSdf(c.x, c.y, r), stroke), solid(colour));
    line(img, {c.x + r * 0.35, c.y + r * 0.35}, {c.x + r * 1.15, c.y + r * 1.15}, stroke * 1.1, colour);
}

// Text with a dark outline and drop shadow so it reads on any sky.
void headline(Image& img, const std::string& text, int scale, int x, int y, const Paint& face) {
    const Mask m = textMask(text, scale, scale > 1);
    drawMask(img, dilate(m, 2), x - 1, y, solid(hex(0x070B18)), 0.35);
    drawMask(img, dilate(m, 1), x - 1, y - 1, solid(hex(0x101A33)), 0.9);
    drawMask(img, m, x, y, face);
}

}  // namespace

Image drawPicture() {
    constexpr int W = 150, H = 120;
    Image img(W, H);
    fillRect(img, {0, 0, W, H},
             linear({0, 0}, {0, H}, {{0, hex(0x1C4F94)}, {0.55, hex(0x4F95D2)}, {1, hex(0xBCDCF2)}}));
    // Soft sunlight from the upper left.
    glow(img, circleSdf(10, 8, 30), 80, hex(0xFFF6DC), 0.35);
    for (const auto& c : {Pt{22, 64}, Pt{120, 40}}) {
        Sdf cloud = ellipseSdf(c.x, c.y + 4, 24, 4);
        cloud = unite(cloud, unite(circleSdf(c.x - 8, c.y, 7), circleSdf(c.x + 5, c.y - 2, 9)));
        fill(img, cloud, linear({0, c.y - 11}, {0, c.y + 8}, {{0, kWhite}, {1, hex(0xC9DAEA)}}), 0.8);
    }

    // Rear fuselage entering from the left, nose out of the picture.
    const Sdf body = polygonSdf({{-5, 80}, {70, 79}, {108, 82}, {140, 89}, {149, 94}, {146, 99},
                                 {110, 104}, {70, 116}, {-5, 124}});
    fill(img, body, linear({0, 79}, {0, 118}, {{0, hex(0xFFFFFF)}, {0.45, hex(0xE9EEF3)}, {1, hex(0x9AA7B6)}}));
    // Cheat line: navy with a gold pinstripe, tapering into the tail cone.
    fill(img, intersect(body, polygonSdf({{-5, 95}, {150, 92}, {150, 95}, {-5, 103}})), solid(kNavy));
    fill(img, intersect(body, polygonSdf({{-5, 104}, {150, 96}, {150, 97}, {-5, 106}})), solid(kGold));
    for (int x = 2; x < 62; x += 7) fill(img, roundRectSdf(x, 86, x + 3.4, 90.5, 1.4), solid(hex(0x2A3A52)));
    fill(img, circleSdf(147, 94, 2), solid(hex(0x3A3F48)));  // APU exhaust

    // The fin, in the airline's colours.
    const Sdf fin = inset(polygonSdf({{44, 83}, {100, 14}, {130, 14}, {126, 83}}), -3);
    const Sdf finAbove = intersect(fin, subtract(rectSdf(0, 0, W, H), body));
    fill(img, finAbove, linear({60, 20}, {130, 80}, {{0, kNavyLight}, {1, kNavy}}));
    fill(img, intersect(finAbove, polygonSdf({{30, 86}, {150, 44}, {150, 56}, {30, 98}})), solid(kGold));
    fill(img, intersect(finAbove, polygonSdf({{30, 83}, {150, 41}, {150, 42.5}, {30, 84.5}})), solid(kWhite));
    emblem(img, {107, 38}, 12, 3.6, kWhite);
    // Leading-edge highlight where the sun catches the fin.
    fill(img, intersect(ring(finAbove, 1.4), polygonSdf({{36, 84}, {96, 6}, {106, 10}, {48, 88}})),
         solid(hex(0x8FB8EA)), 0.8);

    // Tailplane in front of the fuselage.
    fill(img, polygonSdf({{92, 98}, {140, 90}, {146, 92}, {116, 102}}),
         linear({0, 90}, {0, 102}, {{0, hex(0xF4F7FA)}, {1, hex(0xA7B3C1)}}));
    return img;
}

Image drawGoodbye() {
    constexpr int W = 300, H = 100;
    constexpr double horizon = 80;
    Image img(W, H);
    fillRect(img, {0, 0, W, int(horizon)},
             linear({0, 0}, {0, horizon},
                    {{0, hex(0x14204A)}, {0.45, hex(0x4A3F78)}, {0.78, hex(0xD8764E)}, {1, hex(0xF7C46C)}}));
    const Pt sun{238, horizon};
    glow(img, circleSdf(sun.x, sun.y, 25), 90, hex(0xFFE7A6), 0.55);
    fill(img, circleSdf(sun.x, sun.y, 14), solid(hex(0xFFF1C8)));
    // Streaks of evening cloud across the sun.
    for (const auto& s : {Pt{190, 62}, Pt{262, 70}, Pt{120, 55}})
        fill(img, ellipseSdf(s.x, s.y, 38, 1.8), solid(hex(0xB55A55)), 0.6);

    fillRect(img, {0, int(horizon), W, H}, linear({0, horizon}, {0, H}, {{0, hex(0x2A2438)}, {1, hex(0x0E0F1A)}}));
    // Runway edge lights converging on the sun.
    for (int i = 1; i < 9; ++i) {
        const double t = i * i / 64.0, y = horizon + 1 + 19 * t;
        for (double side : {-1.0, 1.0})
            glow(img, circleSdf(sun.x + side * (3 + 120 * t), y, 0.4 + t), 2 + 2 * t, hex(0xFFD27A), 0.9);
    }

    // Departing airliner climbing into the sunset.
    fill(img, airlinerSide({262, 34}, 0.42, -14), solid(hex(0x1A1830)));

    const Paint face = linear({0, 10}, {0, 90}, {{0, kWhite}, {1, hex(0xFFE3B0)}});
    headline(img, "Thank you for using", 2, 14, 10, face);
    headline(img, "Quorvane", 3, 14, 32, linear({0, 32}, {0, 54}, {{0, kWhite}, {1, hex(0xFFD27A)}}));
    headline(img, "Happy landings!", 2, 14, 62, face);
    return img;
}

Image drawIcon(int size) {
    Image img(size, size, Rgb{}, 0);
    const double s = size / 32.0;
    auto at = [s](double x, double y) { return Pt{x * s, y * s}; };
    // A swept tail fin standing on the bottom edge.
    std::vector<Pt> outline;
    for (const Pt& p : std::vector<Pt>{{3, 30}, {16, 2}, {27, 2}, {30, 30}}) outline.push_back(at(p.x, p.y));
    const Sdf fin = polygonSdf(outline);
    fill(img, inset(fin, -0.6 * s), solid(hex(0x06132B)));
    fill(img, fin, linear(at(10, 4), at(28, 30), {{0, kNavyLight}, {1, kNavy}}));
    fill(img, intersect(fin, polygonSdf({at(0, 26), at(32, 19), at(32, 25), at(0, 32)})), solid(kGold));
    // At 16 px a drawn ring blurs into a blob; the crisp font glyph reads better.
    if (size >= 32) emblem(img, at(20, 12.5), 6.2, 2.2, kWhite);
    else drawText(img, 8, 3, "Q", 1, kWhite);
    return img;
}

}  // namespace art
