// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What triangle set-up hands to the span filler: edges in exact integer form, the
// attributes as planes over the screen, depth in fixed point, and the texture sampler.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gfx/pixel.h"
#include "gfx/raster.h"

namespace vemol::gfx::detail {

inline constexpr double kSubpixel = 256.0;
inline constexpr int kDepthFractionBits = 20;
inline constexpr double kDepthScale = 65535.0 * (1 << kDepthFractionBits);
inline constexpr double kTexelFraction = 4294967296.0;  // texture coordinates step in 32.32 texels

inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {  // b > 0
    std::int64_t q = a / b;
    if (a % b != 0 && a < 0) --q;
    return q;
}

inline std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {  // b > 0
    std::int64_t q = a / b;
    if (a % b != 0 && a > 0) ++q;
    return q;
}

// One edge as E(P) = dX (Py - y0) - dY (Px - x0) in 1/256 pixels; inside is E >= bias,
// where bias 0 takes in the pixels exactly on a top or left edge and bias 1 leaves them
// to the neighbour. On the pixel row py, E = K - 256 dY px with K = dX (256 py - y0) + dY x0,
// so a sloped edge bounds the row on one side and a horizontal one takes all or nothing.
struct Edge {
    std::int64_t dX, dY, x0, y0;
    int bias;
};

inline Edge MakeEdge(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    const std::int64_t dX = x1 - x0, dY = y1 - y0;
    const bool topLeft = dY < 0 || (dY == 0 && dX > 0);
    return {dX, dY, x0, y0, topLeft ? 0 : 1};
}

// An attribute over the screen: value = dx * px + dy * py + c.
struct Linear {
    double dx = 0.0, dy = 0.0, c = 0.0;
    double at(double px, double py) const { return dx * px + dy * py + c; }
};

inline Linear FitLinear(const double x[3], const double y[3], double a0, double a1, double a2) {
    const double ex1 = x[1] - x[0], ey1 = y[1] - y[0], ex2 = x[2] - x[0], ey2 = y[2] - y[0];
    const double det = ex1 * ey2 - ex2 * ey1;
    Linear l;
    l.dx = ((a1 - a0) * ey2 - (a2 - a0) * ey1) / det;
    l.dy = ((a2 - a0) * ex1 - (a1 - a0) * ex2) / det;
    l.c = a0 - l.dx * x[0] - l.dy * y[0];
    return l;
}

struct Setup {
    Edge edges[3];
    int yMin, yMax, xMin, xMax;
    bool perspective, gouraud;
    Linear q, u, v, r, g, b, a;  // in perspective, u..a are premultiplied by q
    std::int64_t zx, zy, z0;     // depth in 16.20 fixed point
    std::uint32_t flatColour;
};

// Walks the triangle's rows top to bottom and yields each row's span of covered pixels,
// stepping every edge's bound from row to row with a quotient and remainder instead of
// dividing on every row. row() is called for every py from yMin to yMax in turn.
class SpanWalker {
public:
    explicit SpanWalker(const Setup& setup);
    // The covered pixels [x0, x1] of the next row; false when the row has none. Inline:
    // it runs once per row of every triangle, and small triangles have short rows.
    inline bool row(int py, int& x0, int& x1);

private:
    struct Bound {
        std::int64_t quotient, remainder, divisor, stepQuotient, stepRemainder;
        bool left;
        void advance() {
            quotient += stepQuotient;
            remainder += stepRemainder;
            if (remainder >= divisor) {
                remainder -= divisor;
                ++quotient;
            }
        }
    };
    Bound bounds_[3];
    int boundCount_ = 0;
    const Edge* flat_[3];
    int flatCount_ = 0;
    int xMin_, xMax_;
};

inline bool SpanWalker::row(int py, int& x0, int& x1) {
    std::int64_t xl = xMin_, xr = xMax_;
    for (int i = 0; i < boundCount_; ++i) {
        Bound& b = bounds_[i];
        if (b.left)
            xl = std::max(xl, -b.quotient);
        else
            xr = std::min(xr, b.quotient);
        b.advance();
    }
    for (int i = 0; i < flatCount_; ++i) {
        const Edge& e = *flat_[i];
        if (e.dX * (std::int64_t{py} * 256 - e.y0) < e.bias) return false;
    }
    if (xl > xr) return false;
    x0 = static_cast<int>(xl);
    x1 = static_cast<int>(xr);
    return true;
}

// Calls span(py, x0, x1, colourRow, depthRow) for every row of the triangle that covers
// pixels, with the rows of the target's colour and depth buffers.
template <typename SpanFn>
void ForEachSpan(const Setup& setup, Surface& colour, std::uint16_t* depth, SpanFn span) {
    SpanWalker walker(setup);
    std::uint8_t* const pixels = colour.data();  // once: every writable access marks a change
    for (int py = setup.yMin; py <= setup.yMax; ++py) {
        int x0, x1;
        if (!walker.row(py, x0, x1)) continue;
        span(py, x0, x1, pixels + static_cast<std::size_t>(py) * colour.pitch(),
             depth + static_cast<std::size_t>(py) * colour.width());
    }
}

// The same for two triangles of one quad, row by row: where a row's two spans meet end to
// end it is one span (the quad's edge between them costs nothing), otherwise the first
// triangle's span and then the second's. Each pixel sees the two triangles in the order
// they were drawn, so blending and depth come out as when drawn one after the other.
template <typename SpanFn>
void ForEachSpanOfPair(const Setup& first, const Setup& second, Surface& colour, std::uint16_t* depth, SpanFn span) {
    SpanWalker walkFirst(first), walkSecond(second);
    std::uint8_t* const pixels = colour.data();  // once: every writable access marks a change
    const int top = std::min(first.yMin, second.yMin), bottom = std::max(first.yMax, second.yMax);
    for (int py = top; py <= bottom; ++py) {
        int a0, a1, b0, b1;
        const bool hasFirst = py >= first.yMin && py <= first.yMax && walkFirst.row(py, a0, a1);
        const bool hasSecond = py >= second.yMin && py <= second.yMax && walkSecond.row(py, b0, b1);
        std::uint8_t* const colourRow = pixels + static_cast<std::size_t>(py) * colour.pitch();
        std::uint16_t* const depthRow = depth + static_cast<std::size_t>(py) * colour.width();
        if (hasFirst && hasSecond && (a1 + 1 == b0 || b1 + 1 == a0)) {
            span(py, std::min(a0, b0), std::max(a1, b1), colourRow, depthRow);
            continue;
        }
        if (hasFirst) span(py, a0, a1, colourRow, depthRow);
        if (hasSecond) span(py, b0, b1, colourRow, depthRow);
    }
}

struct Sampler {
    const Surface* surface = nullptr;
    const std::uint32_t* texels = nullptr;
    int width = 1, height = 1, widthMask = 0, heightMask = 0, widthShift = 0;
    bool powerOfTwo = false;

    std::uint32_t fetchGeneric(std::int64_t tx, std::int64_t ty) const {
        const int x = static_cast<int>(((tx % width) + width) % width);
        const int y = static_cast<int>(((ty % height) + height) % height);
        const std::uint32_t texel =
            ReadPixel(surface->data() + static_cast<std::size_t>(y) * surface->pitch(), x, surface->format());
        return texel | 0xFF000000u;  // our textures have no alpha channel: texels are opaque
    }
    std::uint32_t fetchFast(std::int64_t tx, std::int64_t ty) const {
        return texels[((static_cast<int>(ty) & heightMask) << widthShift) | (static_cast<int>(tx) & widthMask)];
    }
};

inline Sampler MakeSampler(const Texture* texture) {
    Sampler s;
    if (!texture || texture->width() <= 0 || texture->height() <= 0) return s;
    s.surface = &texture->level0();
    s.width = texture->width();
    s.height = texture->height();
    s.powerOfTwo = (s.width & (s.width - 1)) == 0 && (s.height & (s.height - 1)) == 0;
    s.widthMask = s.width - 1;
    s.heightMask = s.height - 1;
    while ((1 << s.widthShift) < s.width) ++s.widthShift;
    if (texture->format() == Format::X8R8G8B8) s.texels = reinterpret_cast<const std::uint32_t*>(s.surface->data());
    return s;
}

inline std::int64_t FloorToInt(double t) {
    if (!(t > -1.0e15)) t = -1.0e15;  // also NaN
    if (t > 1.0e15) t = 1.0e15;
    const auto i = static_cast<std::int64_t>(t);
    return i - (t < static_cast<double>(i) ? 1 : 0);
}

// Clamps to +-limit; NaN (from a degenerate set-up) becomes 0.
inline double ClampFinite(double value, double limit) {
    if (!(value == value)) return 0.0;
    return std::clamp(value, -limit, limit);
}

// Texture coordinate in 32.32 fixed-point texels as an exact linear function of the
// pixel position, so a texel is picked the same way wherever a span starts.
struct FixedLinear {
    std::int64_t dx, dy, c;
    std::int64_t at(int px, int py) const { return c + dy * py + dx * px; }
};

inline FixedLinear ToFixedTexels(const Linear& l, int size) {
    const double scale = size * kTexelFraction;
    const double limit = 65536.0 * kTexelFraction;  // 65536 texels per pixel is plenty
    double c = l.c * size;
    c -= std::floor(c / size) * size;  // wrap addressing: whole periods do not matter
    if (!(c >= 0.0 && c < size)) c = 0.0;
    return {static_cast<std::int64_t>(ClampFinite(l.dx * scale, limit)),
            static_cast<std::int64_t>(ClampFinite(l.dy * scale, limit)), static_cast<std::int64_t>(c * kTexelFraction)};
}

inline int RoundChannel(double c) {
    if (!(c > 0.0)) return 0;  // also NaN
    if (c >= 255.0) return 255;
    return static_cast<int>(c + 0.5);
}

inline bool DepthPasses(Compare func, int z, int stored) {
    switch (func) {
        case Compare::Never: return false;
        case Compare::Less: return z < stored;
        case Compare::Equal: return z == stored;
        case Compare::LessEqual: return z <= stored;
        case Compare::Greater: return z > stored;
        case Compare::NotEqual: return z != stored;
        case Compare::GreaterEqual: return z >= stored;
        case Compare::Always: return true;
    }
    return false;
}

inline int QuantizeDepth(std::int64_t z) {
    return static_cast<int>(std::clamp<std::int64_t>(z >> kDepthFractionBits, 0, 65535));
}

// Fills every pixel the set-up covers.
void FillTriangle(const Setup& setup, const RasterTarget& target);
// Fills two triangles drawn one after the other, sharing their rows where that gives
// the same pixels.
void FillTrianglePair(const Setup& first, const Setup& second, const RasterTarget& target);

}  // namespace vemol::gfx::detail
