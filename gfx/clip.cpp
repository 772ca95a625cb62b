// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Sutherland-Hodgman clipping in homogeneous space. Attributes are linear in clip space,
// so the new vertices carry exact perspective-correct values.
#include "gfx/clip.h"

#include <cmath>
#include <initializer_list>

namespace vemol::gfx::detail {
namespace {

constexpr double kGuardBand = 8.0;  // in viewport widths/heights, about +-2500 pixels
constexpr double kMinW = 1.0e-6;
constexpr int kPlaneCount = 7;
constexpr int kMaxPolygon = 3 + kPlaneCount;

// Signed distance to clip plane `plane`; the inside is >= 0.
double distance(const ClipVertex& v, int plane) {
    switch (plane) {
        case 0: return v.z;                      // near
        case 1: return v.w - v.z;                // far
        case 2: return v.w - kMinW;              // never divide by a vanishing w
        case 3: return kGuardBand * v.w + v.x;   // left
        case 4: return kGuardBand * v.w - v.x;   // right
        case 5: return kGuardBand * v.w + v.y;   // bottom
        default: return kGuardBand * v.w - v.y;  // top
    }
}

unsigned Outcode(const ClipVertex& v) {
    unsigned code = 0;
    for (int p = 0; p < kPlaneCount; ++p)
        if (!(distance(v, p) >= 0.0)) code |= 1u << p;  // NaN counts as outside
    return code;
}

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, double t) {
    auto mix = [t](double p, double q) { return p + (q - p) * t; };
    return {mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.w, b.w), mix(a.u, b.u),
            mix(a.v, b.v), mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a)};
}

int ClipPolygon(const ClipVertex* in, int count, int plane, ClipVertex* out) {
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const ClipVertex& cur = in[i];
        const ClipVertex& next = in[(i + 1) % count];
        const double dc = distance(cur, plane), dn = distance(next, plane);
        if (dc >= 0.0) out[n++] = cur;
        if ((dc >= 0.0) != (dn >= 0.0)) out[n++] = Lerp(cur, next, dc / (dc - dn));
    }
    return n;
}

ScreenVertex Project(const ClipVertex& v, int width, int height) {
    const double q = 1.0 / v.w;
    return {(v.x * q + 1.0) * 0.5 * width, (1.0 - v.y * q) * 0.5 * height, v.z * q, q, v.u, v.v, v.r, v.g, v.b, v.a};
}

}  // namespace

void ClipAndRasterize(const RasterTarget& target, const ClipVertex& a, const ClipVertex& b, const ClipVertex& c,
                      const DepthPlane& plane) {
    for (const ClipVertex* v : {&a, &b, &c})
        // Deliberate difference: bad-geometry-and-bitmaps.
        if (!std::isfinite(v->x) || !std::isfinite(v->y) || !std::isfinite(v->z) || !std::isfinite(v->w)) return;
    const int width = target.colour->width(), height = target.colour->height();
    const unsigned ca = Outcode(a), cb = Outcode(b), cc = Outcode(c);
    if (ca & cb & cc) return;  // wholly outside one plane
    if ((ca | cb | cc) == 0) {
        RasterizeTriangle(target, Project(a, width, height), Project(b, width, height), Project(c, width, height),
                          plane);
        return;
    }
    ClipVertex buffers[2][kMaxPolygon] = {{a, b, c}, {}};
    int count = 3, current = 0;
    for (int p = 0; p < kPlaneCount && count >= 3; ++p) {
        if (!((ca | cb | cc) & (1u << p))) continue;
        count = ClipPolygon(buffers[current], count, p, buffers[1 - current]);
        current = 1 - current;
    }
    if (count < 3) return;
    const ClipVertex* poly = buffers[current];
    const ScreenVertex first = Project(poly[0], width, height);
    ScreenVertex previous = Project(poly[1], width, height);
    for (int i = 2; i < count; ++i) {
        const ScreenVertex next = Project(poly[i], width, height);
        RasterizeTriangle(target, first, previous, next, plane);
        previous = next;
    }
}

void ClipAndRasterizePair(const RasterTarget& target, const ClipVertex (&first)[3], const ClipVertex (&second)[3],
                          const DepthPlane& firstPlane, const DepthPlane& secondPlane) {
    bool inside = true;
    for (const ClipVertex* triangle : {first, second})
        for (int i = 0; i < 3; ++i) {
            const ClipVertex& v = triangle[i];
            inside = inside && std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.w) &&
                     Outcode(v) == 0;
        }
    if (!inside) {
        ClipAndRasterize(target, first[0], first[1], first[2], firstPlane);
        ClipAndRasterize(target, second[0], second[1], second[2], secondPlane);
        return;
    }
    const int width = target.colour->width(), height = target.colour->height();
    const ScreenVertex a[3] = {Project(first[0], width, height), Project(first[1], width, height),
                               Project(first[2], width, height)};
    const ScreenVertex b[3] = {Project(second[0], width, height), Project(second[1], width, height),
                               Project(second[2], width, height)};
    RasterizeTrianglePair(target, a, b, firstPlane, secondPlane);
}

}  // namespace vemol::gfx::detail
