#include "motifs.h"

namespace art {

namespace {

// Places a capsule designed in silhouette coordinates.
Sdf capsule(Pt a, Pt b, double halfWidth, Pt at, double scale, double degrees) {
    const auto p = place({a, b}, scale, degrees, at);
    return capsuleSdf(p[0], p[1], halfWidth * scale);
}

Sdf poly(const std::vector<Pt>& pts, Pt at, double scale, double degrees) {
    return polygonSdf(place(pts, scale, degrees, at));
}

// Both halves of a shape that is symmetric about the fuselage axis.
std::vector<Pt> mirrored(std::vector<Pt> half) {
    std::vector<Pt> out = half;
    for (auto it = half.rbegin(); it != half.rend(); ++it) out.push_back({it->x, -it->y});
    return out;
}

}  // namespace

Sdf airlinerPlan(Pt at, double scale, double degrees) {
    Sdf s = capsule({-40, 0}, {44, 0}, 5, at, scale, degrees);
    // Tapered tail cone.
    s = unite(s, poly({{-38, -5}, {-52, -1.5}, {-52, 1.5}, {-38, 5}}, at, scale, degrees));
    // Swept wings: leading edge root, tip, then trailing edge back to the root.
    s = unite(s, poly(mirrored({{12, -4}, {-13, -47}, {-20, -47}, {-12, -4}}), at, scale, degrees));
    s = unite(s, poly(mirrored({{-36, -3}, {-46, -18}, {-51, -18}, {-48, -3}}), at, scale, degrees));
    for (double side : {-1.0, 1.0}) s = unite(s, capsule({-6, side * 17}, {9, side * 17}, 3.4, at, scale, degrees));
    return s;
}

Sdf airlinerSide(Pt at, double scale, double degrees) {
    // Fuselage: a long body whose belly sweeps up towards the tail.
    Sdf s = capsule({-30, 0}, {44, 0}, 6, at, scale, degrees);
    s = unite(s, poly({{-30, -6}, {-54, -5}, {-55, -2}, {-30, 6}}, at, scale, degrees));
    // Fin, tailplane, wing root and the near engine.
    s = unite(s, poly({{-34, -5}, {-49, -27}, {-56, -27}, {-55, -4}}, at, scale, degrees));
    s = unite(s, poly({{-42, -1}, {-54, 2}, {-57, 2}, {-50, -1}}, at, scale, degrees));
    s = unite(s, poly({{10, 2}, {-12, 12}, {-18, 12}, {-10, 3}}, at, scale, degrees));
    s = unite(s, capsule({-2, 8}, {12, 8}, 3.4, at, scale, degrees));
    return s;
}

}  // namespace art
