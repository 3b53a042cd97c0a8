#include "codecs.h"

#include <algorithm>
#include <map>
#include <utility>

namespace art {

namespace {

void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

size_t stride(int width, int bitsPerPixel) { return (size_t(width) * size_t(bitsPerPixel) + 31) / 32 * 4; }

void putInfoHeader(Bytes& b, int width, int height, int bits, uint32_t imageSize, uint32_t colours) {
    put32(b, 40);
    put32(b, uint32_t(width));
    put32(b, uint32_t(height));
    put16(b, 1);
    put16(b, uint32_t(bits));
    put32(b, 0);  // BI_RGB
    put32(b, imageSize);
    put32(b, 2835);  // 72 dpi
    put32(b, 2835);
    put32(b, colours);
    put32(b, 0);
}

Bytes bmpFile(const Image& img, int bits, const std::vector<Rgb>& palette, const Bytes& pixels) {
    const uint32_t offset = 14 + 40 + uint32_t(palette.size()) * 4;
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + uint32_t(pixels.size()));
    put32(b, 0);
    put32(b, offset);
    putInfoHeader(b, img.width(), img.height(), bits, uint32_t(pixels.size()), uint32_t(palette.size()));
    for (Rgb c : palette) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

uint32_t key(Rgb c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }

struct Entry {
    Rgb c;
    uint32_t count;
};

int channelOf(Rgb c, int axis) { return axis == 0 ? c.r : axis == 1 ? c.g : c.b; }

// Longest channel extent of a box of colours, and its axis.
std::pair<int, int> extent(const std::vector<Entry>& box) {
    int best = -1, axis = 0;
    for (int a = 0; a < 3; ++a) {
        int lo = 255, hi = 0;
        for (const Entry& e : box) {
            lo = std::min(lo, channelOf(e.c, a));
            hi = std::max(hi, channelOf(e.c, a));
        }
        if (hi - lo > best) best = hi - lo, axis = a;
    }
    return {best, axis};
}

}  // namespace

Bytes encodeBmp24(const Image& img) {
    const size_t row = stride(img.width(), 24);
    Bytes px(row * size_t(img.height()), 0);
    for (int y = 0; y < img.height(); ++y) {
        uint8_t* out = &px[size_t(img.height() - 1 - y) * row];
        for (int x = 0; x < img.width(); ++x) {
            const Rgb c = img.at(x, y);
            *out++ = c.b;
            *out++ = c.g;
            *out++ = c.r;
        }
    }
    return bmpFile(img, 24, {}, px);
}

Indexed quantise(const Image& img) {
    std::map<uint32_t, Entry> histogram;  // ordered, so the result is reproducible
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            Entry& e = histogram[key(img.at(x, y))];
            e.c = img.at(x, y);
            ++e.count;
        }

    std::vector<std::vector<Entry>> boxes(1);
    for (const auto& kv : histogram) boxes[0].push_back(kv.second);

    // Median cut: keep halving the box whose colours spread the most,
    // weighted by how many pixels it covers, until the palette is full.
    while (boxes.size() < 256) {
        size_t pick = boxes.size();
        double bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2) continue;
            uint64_t pixels = 0;
            for (const Entry& e : boxes[i]) pixels += e.count;
            const double score = double(extent(boxes[i]).first) * double(pixels);
            if (score > bestScore) bestScore = score, pick = i;
        }
        if (pick == boxes.size()) break;
        std::vector<Entry>& box = boxes[pick];
        const int axis = extent(box).second;
        std::stable_sort(box.begin(), box.end(), [axis](const Entry& a, const Entry& b) {
            return channelOf(a.c, axis) < channelOf(b.c, axis);
        });
        uint64_t total = 0, run = 0;
        for (const Entry& e : box) total += e.count;
        size_t cut = 1;
        for (; cut < box.size() - 1; ++cut) {
            run += box[cut - 1].count;
            if (run * 2 >= total) break;
        }
        std::vector<Entry> upper(box.begin() + long(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }

    Indexed out;
    for (const auto& box : boxes) {
        double r = 0, g = 0, b = 0, n = 0;
        for (const Entry& e : box) r += e.c.r * double(e.count), g += e.c.g * double(e.count),
                                   b += e.c.b * double(e.count), n += e.count;
        out.palette.push_back(Rgb{uint8_t(r / n + 0.5), uint8_t(g / n + 0.5), uint8_t(b / n + 0.5)});
    }

    std::map<uint32_t, uint8_t> nearest;
    for (const auto& kv : histogram) {
        int best = 0;
        long bestDist = -1;
        for (size_t i = 0; i < out.palette.size(); ++i) {
            const Rgb p = out.palette[i], c = kv.second.c;
            const long d = long(p.r - c.r) * (p.r - c.r) + long(p.g - c.g) * (p.g - c.g) + long(p.b - c.b) * (p.b - c.b);
            if (bestDist < 0 || d < bestDist) bestDist = d, best = int(i);
        }
        nearest[kv.first] = uint8_t(best);
    }
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) out.index.push_back(nearest[key(img.at(x, y))]);
    return out;
}

Bytes encodeBmp8(const Image& img) {
    Indexed q = quantise(img);
    q.palette.resize(256, Rgb{});
    const size_t row = stride(img.width(), 8);
    Bytes px(row * size_t(img.height()), 0);
    for (int y = 0; y < img.height(); ++y)
        std::copy_n(&q.index[size_t(y) * size_t(img.width())], img.width(),
                    &px[size_t(img.height() - 1 - y) * row]);
    return bmpFile(img, 8, q.palette, px);
}

Bytes encodeIco(const std::vector<Image>& images) {
    std::vector<Bytes> bodies;
    for (const Image& img : images) {
        const int w = img.width(), h = img.height();
        const size_t maskRow = stride(w, 1);
        Bytes colour, mask(maskRow * size_t(h), 0);
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                const uint8_t a = img.alphaAt(x, y);
                const Rgb c = a ? img.at(x, y) : Rgb{};
                colour.insert(colour.end(), {c.b, c.g, c.r, a});
                if (a < 128) mask[size_t(h - 1 - y) * maskRow + size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
            }
        }
        Bytes body;
        // The header's height counts the colour and mask bitmaps together.
        putInfoHeader(body, w, h * 2, 32, uint32_t(colour.size() + mask.size()), 0);
        body.insert(body.end(), colour.begin(), colour.end());
        body.insert(body.end(), mask.begin(), mask.end());
        bodies.push_back(std::move(body));
    }

    Bytes b;
    put16(b, 0);
    put16(b, 1);  // icon
    put16(b, uint32_t(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        b.push_back(uint8_t(images[i].width()));  // 256 would be written as 0
        b.push_back(uint8_t(images[i].height()));
        b.push_back(0);  // no palette
        b.push_back(0);
        put16(b, 1);
        put16(b, 32);
        put32(b, uint32_t(bodies[i].size()));
        put32(b, offset);
        offset += uint32_t(bodies[i].size());
    }
    for (const Bytes& body : bodies) b.insert(b.end(), body.begin(), body.end());
    return b;
}

}  // namespace art
