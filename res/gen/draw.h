// Drawing primitives. Shapes are described by signed distance functions
// (negative inside, in pixels), which gives every shape the same smooth,
// resolution-independent edge and lets shapes be combined freely.
#pragma once

#include <functional>
#include <vector>

#include "image.h"

namespace art {

struct Pt {
    double x = 0, y = 0;
};

using Sdf = std::function<double(double x, double y)>;
using Paint = std::function<Rgb(double x, double y)>;

struct Box {
    int x0, y0, x1, y1;  // x1, y1 exclusive
};

// --- shapes ---
Sdf rectSdf(double x0, double y0, double x1, double y1);
Sdf roundRectSdf(double x0, double y0, double x1, double y1, double radius);
Sdf circleSdf(double cx, double cy, double r);
Sdf ellipseSdf(double cx, double cy, double rx, double ry);
Sdf polygonSdf(std::vector<Pt> points);
Sdf capsuleSdf(Pt a, Pt b, double halfWidth);
Sdf unite(Sdf a, Sdf b);
Sdf intersect(Sdf a, Sdf b);
Sdf subtract(Sdf a, Sdf b);
Sdf inset(Sdf s, double by);  // shrinks (by > 0) or grows the shape
Sdf ring(Sdf s, double width);  // band of the given width just inside the edge

// Affine placement of point lists, used to draw silhouettes designed in
// their own coordinates: rotate by `degrees` around the origin, scale, move.
std::vector<Pt> place(const std::vector<Pt>& pts, double scale, double degrees, Pt to);

// --- paints ---
Paint solid(Rgb c);
struct Stop {
    double at;  // 0..1
    Rgb c;
};
// Gradient along the line from a to b through the colour stops.
Paint linear(Pt a, Pt b, std::vector<Stop> stops);

// --- filling ---
// Blends paint into every pixel the shape covers, edges anti-aliased.
void fill(Image& img, const Sdf& shape, const Paint& paint, double opacity = 1.0);
// Same, but only evaluates inside `bounds` (a speed-up for small shapes).
void fill(Image& img, const Sdf& shape, const Paint& paint, Box bounds, double opacity = 1.0);
void fillRect(Image& img, Box r, const Paint& paint, double opacity = 1.0);
void line(Image& img, Pt a, Pt b, double width, Rgb c, double opacity = 1.0);
// A soft-edged fill whose edge fades over `blur` pixels: shadows and glows.
void glow(Image& img, const Sdf& shape, double blur, Rgb c, double opacity);

// Hard (unsmoothed) fill: a pixel takes the colour when its centre lies
// inside. Used where the colour key meets real colours, since a blended
// edge pixel would be neither transparent nor a clean colour.
void fillHard(Image& img, const Sdf& shape, Rgb c);

}  // namespace art
