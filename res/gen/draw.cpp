#include "draw.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace art {

namespace {

constexpr double kPi = 3.14159265358979323846;

double clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

Rgb sampleStops(const std::vector<Stop>& stops, double t) {
    if (t <= stops.front().at) return stops.front().c;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].at) {
            const double span = stops[i].at - stops[i - 1].at;
            return mix(stops[i - 1].c, stops[i].c, span > 0 ? (t - stops[i - 1].at) / span : 1.0);
        }
    }
    return stops.back().c;
}

// Calls visit(x, y, d) for the pixels of box b whose centre lies less than
// `reach` outside the shape, d being the distance there. Blocks of pixels
// whose centre is far enough outside are skipped whole, which is what makes
// full-picture fills of small shapes cheap.
template <class Visit>
void scan(const Image& img, Box b, const Sdf& shape, double reach, Visit&& visit) {
    constexpr int kBlock = 8;
    // Half the block's diagonal, plus slack for the shapes whose distance
    // is only estimated (ellipses).
    const double slack = kBlock * 0.7072 + 2;
    const int x0 = std::max(b.x0, 0), y0 = std::max(b.y0, 0);
    const int x1 = std::min(b.x1, img.width()), y1 = std::min(b.y1, img.height());
    for (int by = y0; by < y1; by += kBlock) {
        for (int bx = x0; bx < x1; bx += kBlock) {
            const int ex = std::min(bx + kBlock, x1), ey = std::min(by + kBlock, y1);
            if (shape((bx + ex) / 2.0, (by + ey) / 2.0) - slack >= reach) continue;
            for (int y = by; y < ey; ++y)
                for (int x = bx; x < ex; ++x)
                    if (const double d = shape(x + 0.5, y + 0.5); d < reach) visit(x, y, d);
        }
    }
}

}  // namespace

Sdf rectSdf(double x0, double y0, double x1, double y1) {
    return roundRectSdf(x0, y0, x1, y1, 0);
}

Sdf roundRectSdf(double x0, double y0, double x1, double y1, double radius) {
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
    return [=](double x, double y) {
        const double qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
        const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
        return outside + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

Sdf circleSdf(double cx, double cy, double r) {
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) - r; };
}

Sdf ellipseSdf(double cx, double cy, double rx, double ry) {
    // First-order distance estimate; exact enough for a one-pixel edge.
    return [=](double x, double y) {
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        const double k0 = std::hypot(dx, dy);
        const double k1 = std::hypot(dx / rx, dy / ry);
        return k1 > 0 ? k0 * (k0 - 1) / k1 : -std::min(rx, ry);
    };
}

Sdf polygonSdf(std::vector<Pt> p) {
    return [p = std::move(p)](double x, double y) {
        double best = 1e18;
        bool inside = false;
        for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
            const double ex = p[j].x - p[i].x, ey = p[j].y - p[i].y;
            const double wx = x - p[i].x, wy = y - p[i].y;
            const double len2 = ex * ex + ey * ey;
            const double t = len2 > 0 ? clamp01((wx * ex + wy * ey) / len2) : 0;
            best = std::min(best, std::hypot(wx - ex * t, wy - ey * t));
            if ((p[i].y > y) != (p[j].y > y) &&
                x < p[i].x + (y - p[i].y) * (p[j].x - p[i].x) / (p[j].y - p[i].y))
                inside = !inside;
        }
        return inside ? -best : best;
    };
}

Sdf capsuleSdf(Pt a, Pt b, double halfWidth) {
    return [=](double x, double y) {
        const double ex = b.x - a.x, ey = b.y - a.y;
        const double len2 = ex * ex + ey * ey;
        const double t = len2 > 0 ? clamp01(((x - a.x) * ex + (y - a.y) * ey) / len2) : 0;
        return std::hypot(x - a.x - ex * t, y - a.y - ey * t) - halfWidth;
    };
}

Sdf unite(Sdf a, Sdf b) {
    return [=](double x, double y) { return std::min(a(x, y), b(x, y)); };
}
Sdf intersect(Sdf a, Sdf b) {
    return [=](double x, double y) { return std::max(a(x, y), b(x, y)); };
}
Sdf subtract(Sdf a, Sdf b) {
    return [=](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}
Sdf inset(Sdf s, double by) {
    return [=](double x, double y) { return s(x, y) + by; };
}
Sdf ring(Sdf s, double width) {
    return [=](double x, double y) {
        const double d = s(x, y);
        return std::max(d, -d - width);
    };
}

std::vector<Pt> place(const std::vector<Pt>& pts, double scale, double degrees, Pt to) {
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    std::vector<Pt> out;
    out.reserve(pts.size());
    for (const Pt& p : pts)
        out.push_back({to.x + scale * (p.x * c - p.y * s), to.y + scale * (p.x * s + p.y * c)});
    return out;
}

Paint solid(Rgb c) {
    return [c](double, double) { return c; };
}

Paint linear(Pt a, Pt b, std::vector<Stop> stops) {
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    return [=](double x, double y) {
        return sampleStops(stops, ((x - a.x) * dx + (y - a.y) * dy) / len2);
    };
}

void fill(Image& img, const Sdf& shape, const Paint& paint, double opacity) {
    fill(img, shape, paint, Box{0, 0, img.width(), img.height()}, opacity);
}

void fill(Image& img, const Sdf& shape, const Paint& paint, Box b, double opacity) {
    scan(img, b, shape, 0.5, [&](int x, int y, double d) {
        img.blend(x, y, paint(x + 0.5, y + 0.5), clamp01(0.5 - d) * opacity);
    });
}

void fillRect(Image& img, Box r, const Paint& paint, double opacity) {
    fill(img, rectSdf(r.x0, r.y0, r.x1, r.y1), paint, r, opacity);
}

void line(Image& img, Pt a, Pt b, double width, Rgb c, double opacity) {
    const Box bounds{int(std::floor(std::min(a.x, b.x) - width)), int(std::floor(std::min(a.y, b.y) - width)),
                     int(std::ceil(std::max(a.x, b.x) + width)) + 1, int(std::ceil(std::max(a.y, b.y) + width)) + 1};
    fill(img, capsuleSdf(a, b, width / 2), solid(c), bounds, opacity);
}

void glow(Image& img, const Sdf& shape, double blur, Rgb c, double opacity) {
    scan(img, Box{0, 0, img.width(), img.height()}, shape, blur / 2, [&](int x, int y, double d) {
        const double t = clamp01(0.5 - d / blur);
        img.blend(x, y, c, opacity * t * t * (3 - 2 * t));
    });
}

void fillHard(Image& img, const Sdf& shape, Rgb c) {
    scan(img, Box{0, 0, img.width(), img.height()}, shape, 1e-9,
         [&](int x, int y, double d) { if (d <= 0) img.set(x, y, c); });
}

}  // namespace art

