// Checks the files of quorvane-artwork against what the dialog, the buttons
// and the splash expect of them. The files are read back with a decoder of
// this test's own, so a fault in the writers shows up here.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "artwork.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Pixel {
    uint8_t r, g, b;
};

bool isKey(Pixel p) { return p.r == 255 && p.g == 0 && p.b == 255; }

// Colours a viewer would take for magenta although they are not the key:
// they would show as a purple fringe instead of a hole.
bool isNearKey(Pixel p) { return !isKey(p) && p.r >= 200 && p.g <= 70 && p.b >= 200; }

double luminance(Pixel p) { return 0.299 * p.r + 0.587 * p.g + 0.114 * p.b; }

uint32_t u16(const Bytes& b, size_t at) { return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8; }
uint32_t u32(const Bytes& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }
int32_t s32(const Bytes& b, size_t at) { return int32_t(u32(b, at)); }

struct Bitmap {
    int width = 0, height = 0, bits = 0;
    std::vector<Pixel> px;  // top row first
    Pixel at(int x, int y) const { return px.at(size_t(y) * size_t(width) + size_t(x)); }
};

// Decodes an uncompressed, bottom-up 8- or 24-bit BMP, checking its headers
// on the way.
Bitmap decodeBmp(const Bytes& f) {
    Bitmap bmp;
    EXPECT_GE(f.size(), 54u);
    if (f.size() < 54) return bmp;
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(u32(f, 2), f.size()) << "file size field";
    EXPECT_EQ(u32(f, 14), 40u) << "BITMAPINFOHEADER";
    bmp.width = s32(f, 18);
    const int32_t h = s32(f, 22);
    EXPECT_GT(h, 0) << "bottom-up";
    bmp.height = h;
    EXPECT_EQ(u16(f, 26), 1u) << "planes";
    bmp.bits = int(u16(f, 28));
    EXPECT_EQ(u32(f, 30), 0u) << "BI_RGB";

    std::vector<Pixel> palette;
    if (bmp.bits == 8) {
        const uint32_t used = u32(f, 46) ? u32(f, 46) : 256;
        EXPECT_EQ(used, 256u);
        for (uint32_t i = 0; i < used; ++i) {
            const size_t at = 54 + 4 * i;
            palette.push_back({f.at(at + 2), f.at(at + 1), f.at(at)});
        }
    }
    const uint32_t offset = u32(f, 10);
    EXPECT_EQ(offset, 54 + 4 * palette.size());
    const size_t stride = (size_t(bmp.width) * size_t(bmp.bits) + 31) / 32 * 4;
    EXPECT_EQ(f.size(), offset + stride * size_t(bmp.height)) << "rows padded to 4 bytes";
    if (f.size() != offset + stride * size_t(bmp.height)) return bmp;

    for (int y = 0; y < bmp.height; ++y) {
        const size_t row = offset + size_t(bmp.height - 1 - y) * stride;
        for (int x = 0; x < bmp.width; ++x) {
            if (bmp.bits == 24) {
                const size_t at = row + 3 * size_t(x);
                bmp.px.push_back({f[at + 2], f[at + 1], f[at]});
            } else {
                bmp.px.push_back(palette.at(f[row + size_t(x)]));
            }
        }
    }
    return bmp;
}

Bytes readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the generator once for all tests, through the same entry point as
// the command-line program, into a fresh folder that does not exist yet.
class Artwork : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Unique per process, since test runners may run these in parallel.
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root() = std::filesystem::path(::testing::TempDir()) / ("quorvane-art-" + std::to_string(stamp));
        const auto dir = root() / "out";
        std::string error;
        ASSERT_TRUE(art::writeAll(dir.string(), error)) << error;
        for (const char* name : {"background.bmp", "picture.bmp", "goodbye.bmp", "buttons-wide.bmp",
                                 "buttons-small.bmp", "quorvane.ico"})
            files()[name] = readFile(dir / name);
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        std::filesystem::remove_all(root(), ignored);
    }
    static std::filesystem::path& root() {
        static std::filesystem::path r;
        return r;
    }
    static std::map<std::string, Bytes>& files() {
        static std::map<std::string, Bytes> f;
        return f;
    }
    static Bitmap bmp(const std::string& name) { return decodeBmp(files()[name]); }
};

TEST_F(Artwork, BitmapsHaveTheSizesAndDepthsTheResourcesNeed) {
    const struct {
        const char* name;
        int w, h, bits;
    } want[] = {
        {"background.bmp", 550, 400, 24}, {"picture.bmp", 150, 120, 8},       {"goodbye.bmp", 300, 100, 24},
        {"buttons-wide.bmp", 700, 30, 24}, {"buttons-small.bmp", 180, 23, 24},
    };
    for (const auto& w : want) {
        SCOPED_TRACE(w.name);
        const Bitmap b = bmp(w.name);
        EXPECT_EQ(b.width, w.w);
        EXPECT_EQ(b.height, w.h);
        EXPECT_EQ(b.bits, w.bits);
        EXPECT_EQ(b.px.size(), size_t(w.w) * size_t(w.h));
    }
}

TEST_F(Artwork, GeneratingAgainGivesTheSameBytes) {
    const auto again = art::renderAll();
    ASSERT_EQ(again.size(), files().size());
    for (const auto& f : again) EXPECT_TRUE(f.bytes == files()[f.name]) << f.name << " differs between runs";
}

TEST_F(Artwork, IconHoldsA32AndA16PixelImageWithConsistentMasks) {
    const Bytes& f = files()["quorvane.ico"];
    ASSERT_GE(f.size(), 6u + 2 * 16);
    EXPECT_EQ(u16(f, 0), 0u);
    EXPECT_EQ(u16(f, 2), 1u) << "icon, not cursor";
    ASSERT_EQ(u16(f, 4), 2u);
    const int sizes[] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(sizes[i]);
        const size_t e = 6 + 16 * size_t(i);
        const int n = sizes[i];
        EXPECT_EQ(f[e], n);
        EXPECT_EQ(f[e + 1], n);
        EXPECT_EQ(u16(f, e + 6), 32u) << "bit count";
        const uint32_t bytes = u32(f, e + 8), at = u32(f, e + 12);
        const size_t maskStride = (size_t(n) + 31) / 32 * 4;
        ASSERT_EQ(bytes, 40 + size_t(n) * size_t(n) * 4 + maskStride * size_t(n));
        ASSERT_LE(size_t(at) + bytes, f.size());
        EXPECT_EQ(u32(f, at), 40u);
        EXPECT_EQ(s32(f, at + 4), n);
        EXPECT_EQ(s32(f, at + 8), 2 * n) << "height counts colour and mask";
        EXPECT_EQ(u16(f, at + 14), 32u);

        // Systems without alpha use the AND mask alone: it must agree with
        // the alpha channel, and the emblem must have both solid and
        // transparent parts.
        int solid = 0, clear = 0;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const uint8_t alpha = f.at(at + 40 + (size_t(y) * size_t(n) + size_t(x)) * 4 + 3);
                const size_t maskAt = at + 40 + size_t(n) * size_t(n) * 4 + size_t(y) * maskStride + size_t(x) / 8;
                const bool masked = (f.at(maskAt) >> (7 - x % 8)) & 1;
                EXPECT_EQ(masked, alpha < 128) << "at " << x << "," << y;
                (alpha == 255 ? solid : clear) += alpha == 255 || alpha == 0;
            }
        }
        EXPECT_GT(solid, n * n / 3);
        EXPECT_GT(clear, n);
    }
}

// Control rectangles of the main dialog in background pixels (x, y, w, h).
struct Rect {
    const char* what;
    int x, y, w, h;
};
const Rect kControls[] = {
    {"picture", 45, 42, 150, 120},          {"separator", 43, 167, 244, 3},
    {"FS2002 label", 45, 175, 155, 13},      {"FS2002 field", 43, 190, 210, 23},
    {"SquawkBox label", 45, 217, 221, 13},   {"SquawkBox field", 43, 232, 210, 23},
    {"airline progress", 42, 260, 100, 16},  {"overall progress", 153, 260, 100, 16},
    {"centred text", 43, 279, 244, 68},      {"airline list", 339, 57, 160, 208},
    {"FS2002 browse", 260, 190, 20, 20},     {"SquawkBox browse", 260, 232, 20, 20},
    {"Exit", 370, 275, 106, 25},             {"Install", 370, 305, 106, 25},
};

TEST_F(Artwork, BackgroundIsSolidUnderEveryControl) {
    const Bitmap b = bmp("background.bmp");
    ASSERT_EQ(b.px.size(), 550u * 400u);
    for (const Rect& r : kControls) {
        int holes = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) holes += isKey(b.at(x, y));
        EXPECT_EQ(holes, 0) << r.what;
    }
}

TEST_F(Artwork, BackgroundIsLightAndCalmUnderTheBlackLabels) {
    const Bitmap b = bmp("background.bmp");
    ASSERT_EQ(b.px.size(), 550u * 400u);
    for (const Rect& r : kControls) {
        const std::string what = r.what;
        if (what.find("label") == std::string::npos && what != "centred text") continue;
        double lo = 255, hi = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) {
                lo = std::min(lo, luminance(b.at(x, y)));
                hi = std::max(hi, luminance(b.at(x, y)));
            }
        EXPECT_GE(lo, 190) << what << " is not light enough for black text";
        EXPECT_LE(hi - lo, 40) << what << " is too busy behind its text";
    }
}

TEST_F(Artwork, BackgroundOutlineIsShapedWithCleanEdges) {
    const Bitmap b = bmp("background.bmp");
    ASSERT_EQ(b.px.size(), 550u * 400u);
    // Rounded corners cut away.
    for (auto [x, y] : {std::pair{0, 0}, {549, 0}, {0, 399}, {549, 399}, {8, 28}, {542, 392}})
        EXPECT_TRUE(isKey(b.at(x, y))) << x << "," << y;
    // The top edge is not straight: some columns reach higher than others.
    int highest = 400, lowest = 0;
    for (int x = 40; x < 510; ++x) {
        int y = 0;
        while (y < 400 && isKey(b.at(x, y))) ++y;
        highest = std::min(highest, y);
        lowest = std::max(lowest, y);
    }
    EXPECT_GE(lowest - highest, 15) << "the outline has no extension beyond its rounded body";
    // A good share of the window is solid, and no pixel is a washed-out key.
    int solid = 0, fringe = 0;
    for (const Pixel& p : b.px) {
        solid += !isKey(p);
        fringe += isNearKey(p);
    }
    EXPECT_GT(solid, 550 * 400 * 8 / 10);
    EXPECT_EQ(fringe, 0);
}

TEST_F(Artwork, WideButtonFramesFitTheVisibleRowsAndAreLight) {
    const Bitmap b = bmp("buttons-wide.bmp");
    ASSERT_EQ(b.px.size(), 700u * 30u);
    for (int frame = 0; frame < 6; ++frame) {
        SCOPED_TRACE(frame);
        const int x0 = frame * 106;
        double sum = 0;
        int n = 0;
        for (int y = 0; y < 30; ++y) {
            for (int x = x0; x < x0 + 106; ++x) {
                const Pixel p = b.at(x, y);
                if (y >= 25) {
                    EXPECT_TRUE(isKey(p)) << "row " << y << " is clipped away, must be transparent";
                } else if (!isKey(p)) {
                    sum += luminance(p);
                    ++n;
                }
            }
        }
        EXPECT_GT(n, 100 * 22) << "button body";
        EXPECT_GE(sum / n, 170) << "too dark for a black label";
        EXPECT_FALSE(isKey(b.at(x0 + 53, 12)));
        EXPECT_TRUE(isKey(b.at(x0, 0))) << "corners rounded";
    }
    for (int y = 0; y < 30; ++y)
        for (int x = 6 * 106; x < 700; ++x) EXPECT_TRUE(isKey(b.at(x, y))) << "unused strip area at " << x;
}

TEST_F(Artwork, SmallButtonFramesFitTheVisibleSquareAndAreDark) {
    const Bitmap b = bmp("buttons-small.bmp");
    ASSERT_EQ(b.px.size(), 180u * 23u);
    for (int frame = 0; frame < 7; ++frame) {
        SCOPED_TRACE(frame);
        const int x0 = frame * 25;
        double sum = 0;
        int n = 0;
        for (int y = 0; y < 23; ++y) {
            for (int x = x0; x < x0 + 25; ++x) {
                const Pixel p = b.at(x, y);
                if (x - x0 >= 20 || y >= 20) {
                    EXPECT_TRUE(isKey(p)) << "outside the shown 20 x 20 at " << x << "," << y;
                } else if (!isKey(p)) {
                    sum += luminance(p);
                    ++n;
                }
            }
        }
        EXPECT_GT(n, 18 * 18) << "button body";
        EXPECT_LE(sum / n, 110) << "too light for a white label";
    }
    for (int y = 0; y < 23; ++y)
        for (int x = 7 * 25; x < 180; ++x) EXPECT_TRUE(isKey(b.at(x, y))) << "unused strip area at " << x;
}

// The button shows frame 3 while pressed and frame 4 when disabled; both
// must be told apart from the normal frame at a glance.
TEST_F(Artwork, PressedAndDisabledFramesDifferFromNormal) {
    // Strip, frame width and the part of a frame that is shown.
    for (auto [name, fw, vw, vh] : {std::tuple{"buttons-wide.bmp", 106, 106, 25}, {"buttons-small.bmp", 25, 20, 20}}) {
        SCOPED_TRACE(name);
        const Bitmap b = bmp(name);
        ASSERT_FALSE(b.px.empty());
        auto difference = [&, fw = fw, vw = vw, vh = vh](int f1, int f2) {
            double d = 0;
            for (int y = 0; y < vh; ++y)
                for (int x = 0; x < vw; ++x) {
                    const Pixel p = b.at(f1 * fw + x, y), q = b.at(f2 * fw + x, y);
                    d += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
                }
            return d / (vw * vh);
        };
        EXPECT_GT(difference(0, 3), 15);
        EXPECT_GT(difference(0, 4), 15);
        EXPECT_GT(difference(3, 4), 15);
    }
}

TEST_F(Artwork, PictureAndSplashHaveNoTransparentPixels) {
    for (const char* name : {"picture.bmp", "goodbye.bmp"}) {
        const Bitmap b = bmp(name);
        ASSERT_FALSE(b.px.empty()) << name;
        int key = 0;
        for (const Pixel& p : b.px) key += isKey(p) || isNearKey(p);
        EXPECT_EQ(key, 0) << name;
    }
}

// The 256-colour picture is reduced from a full-colour drawing; a fault in
// the palette or the index mapping would show as large errors here.
TEST_F(Artwork, PalettisedPictureStaysCloseToTheDrawing) {
    const art::Image src = art::drawPicture();
    const Bitmap b = bmp("picture.bmp");
    ASSERT_EQ(b.px.size(), size_t(src.width()) * size_t(src.height()));
    double total = 0, worst = 0;
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const art::Rgb s = src.at(x, y);
            const Pixel p = b.at(x, y);
            const double d = std::abs(s.r - p.r) + std::abs(s.g - p.g) + std::abs(s.b - p.b);
            total += d;
            worst = std::max(worst, d);
        }
    EXPECT_LT(total / double(b.px.size()), 6.0);
    EXPECT_LT(worst, 90);
}

TEST(ArtworkOutput, ReportsAFolderThatCannotBeCreated) {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto blocker = std::filesystem::path(::testing::TempDir()) / ("quorvane-art-blocker-" + std::to_string(stamp));
    std::ofstream(blocker) << "a file, not a folder";
    std::string error;
    EXPECT_FALSE(art::writeAll((blocker / "out").string(), error));
    EXPECT_FALSE(error.empty());
    std::filesystem::remove(blocker);
}

}  // namespace
