// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Triangle set-up: snapping, culling, bounds, and the attribute and depth planes.
#include "gfx/raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "gfx/frame_start.h"
#include "gfx/triangle.h"

namespace vemol::gfx::detail {
namespace {

std::int64_t ToFixed(double value, double limit) { return std::llround(ClampFinite(value, limit)); }

bool SameColour(const ScreenVertex& a, const ScreenVertex& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

void FitAttributes(Setup& s, const ScreenVertex* v[3], const double x[3], const double y[3]) {
    auto fit = [&](auto field) {
        if (s.perspective)
            return FitLinear(x, y, field(*v[0]) * v[0]->q, field(*v[1]) * v[1]->q, field(*v[2]) * v[2]->q);
        return FitLinear(x, y, field(*v[0]), field(*v[1]), field(*v[2]));
    };
    s.q = FitLinear(x, y, v[0]->q, v[1]->q, v[2]->q);
    s.u = fit([](const ScreenVertex& p) { return p.u; });
    s.v = fit([](const ScreenVertex& p) { return p.v; });
    if (!s.gouraud) return;
    s.r = fit([](const ScreenVertex& p) { return p.r; });
    s.g = fit([](const ScreenVertex& p) { return p.g; });
    s.b = fit([](const ScreenVertex& p) { return p.b; });
    s.a = fit([](const ScreenVertex& p) { return p.a; });
}

// Depth in 16.20 fixed point; rounding to the nearest 16-bit step is folded into z0.
// The limits only bite on triangles seen almost exactly edge-on.
void FitDepth(Setup& s, const DepthPlane& plane, const ScreenVertex* v[3], const double x[3], const double y[3]) {
    Linear z{plane.zx, plane.zy, plane.z0};
    if (!plane.valid) z = FitLinear(x, y, v[0]->zn, v[1]->zn, v[2]->zn);
    s.zx = ToFixed(z.dx * kDepthScale, 0x1p44);
    s.zy = ToFixed(z.dy * kDepthScale, 0x1p44);
    s.z0 = ToFixed(z.c * kDepthScale + 0.5 * (1 << kDepthFractionBits), 0x1p58);
}

// Everything the filler needs; false when the triangle covers no pixel or is culled.
bool setUp(const RasterTarget& target, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
           const DepthPlane& plane, Setup& s) {
    const ScreenVertex* v[3] = {&a, &b, &c};
    std::int64_t X[3], Y[3];
    for (int i = 0; i < 3; ++i) {
        X[i] = std::llround(v[i]->sx * kSubpixel);
        Y[i] = std::llround(v[i]->sy * kSubpixel);
    }
    const std::int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) return false;
    // With y pointing down, a positive area is a clockwise triangle on screen.
    const Cull cull = target.state.cull;
    if ((cull == Cull::CounterClockwise && area < 0) || (cull == Cull::Clockwise && area > 0)) return false;
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
    }

    s = Setup{};
    s.edges[0] = MakeEdge(X[0], Y[0], X[1], Y[1]);
    s.edges[1] = MakeEdge(X[1], Y[1], X[2], Y[2]);
    s.edges[2] = MakeEdge(X[2], Y[2], X[0], Y[0]);
    const int width = target.colour->width(), height = target.colour->height();
    s.xMin = static_cast<int>(std::max<std::int64_t>(0, CeilDiv(std::min({X[0], X[1], X[2]}), 256)));
    s.yMin = static_cast<int>(std::max<std::int64_t>(0, CeilDiv(std::min({Y[0], Y[1], Y[2]}), 256)));
    s.xMax = static_cast<int>(std::min<std::int64_t>(width - 1, FloorDiv(std::max({X[0], X[1], X[2]}), 256)));
    s.yMax = static_cast<int>(std::min<std::int64_t>(height - 1, FloorDiv(std::max({Y[0], Y[1], Y[2]}), 256)));
    if (s.xMin > s.xMax || s.yMin > s.yMax) return false;
    if (target.frameStart) target.frameStart->willDraw({s.xMin, s.yMin, s.xMax + 1, s.yMax + 1});
    if (target.changedRows) target.changedRows->mark(s.xMin, s.yMin, s.xMax + 1, s.yMax + 1);

    double x[3], y[3];
    for (int i = 0; i < 3; ++i) {
        x[i] = static_cast<double>(X[i]) / kSubpixel;
        y[i] = static_cast<double>(Y[i]) / kSubpixel;
    }
    // Seen straight on (equal w) the attributes are linear on screen: no division per pixel.
    s.perspective = !(v[0]->q == v[1]->q && v[1]->q == v[2]->q);
    s.gouraud = !(SameColour(*v[0], *v[1]) && SameColour(*v[1], *v[2]));
    s.flatColour = PackArgb(RoundChannel(v[0]->a), RoundChannel(v[0]->r), RoundChannel(v[0]->g), RoundChannel(v[0]->b));
    FitAttributes(s, v, x, y);
    FitDepth(s, plane, v, x, y);
    return true;
}

}  // namespace

void RasterizeTriangle(const RasterTarget& target, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                       const DepthPlane& plane) {
    Setup s;
    if (setUp(target, a, b, c, plane, s)) FillTriangle(s, target);
}

void RasterizeTrianglePair(const RasterTarget& target, const ScreenVertex (&first)[3], const ScreenVertex (&second)[3],
                           const DepthPlane& firstPlane, const DepthPlane& secondPlane) {
    Setup a, b;
    const bool hasFirst = setUp(target, first[0], first[1], first[2], firstPlane, a);
    const bool hasSecond = setUp(target, second[0], second[1], second[2], secondPlane, b);
    if (hasFirst && hasSecond)
        FillTrianglePair(a, b, target);
    else if (hasFirst)
        FillTriangle(a, target);
    else if (hasSecond)
        FillTriangle(b, target);
}

}  // namespace vemol::gfx::detail
