// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A floating-point RGB canvas and the anti-aliased painting the pictures are made of.
// Shapes are given as signed distance functions (negative inside, in pixels), which
// gives clean one-pixel edges at any size.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace artgen {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb rgb8(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }
inline Rgb mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
inline Rgb scale(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb add(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }
inline float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// An alpha mask, used for text and for shapes built up before they are painted.
struct Mask {
    int width = 0, height = 0;
    std::vector<float> alpha;
    Mask() = default;
    Mask(int w, int h) : width(w), height(h), alpha(static_cast<std::size_t>(w) * h, 0.0f) {}
    float at(int x, int y) const {
        return (x < 0 || y < 0 || x >= width || y >= height) ? 0.0f : alpha[std::size_t(y) * width + x];
    }
    float& ref(int x, int y) { return alpha[std::size_t(y) * width + x]; }
};

class Canvas {
public:
    Canvas(int w, int h, Rgb fill = {}) : width_(w), height_(h), pixels_(std::size_t(w) * h, fill) {}
    int width() const { return width_; }
    int height() const { return height_; }
    Rgb& at(int x, int y) { return pixels_[std::size_t(y) * width_ + x]; }
    const Rgb& at(int x, int y) const { return pixels_[std::size_t(y) * width_ + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    void blend(int x, int y, Rgb c, float a) {
        if (!inside(x, y) || a <= 0) return;
        Rgb& p = at(x, y);
        p = mix(p, c, std::min(a, 1.0f));
    }
    void addLight(int x, int y, Rgb c, float a) {
        if (!inside(x, y) || a <= 0) return;
        Rgb& p = at(x, y);
        p = add(p, scale(c, a));
    }

    // Paints colour(x, y) wherever the distance function says inside, with a soft edge,
    // over the pixel box [x0, x1) x [y0, y1). Pixel centres are at +0.5.
    template <class Distance, class Colour>
    void paint(int x0, int y0, int x1, int y1, Distance distance, Colour colour, float opacity = 1.0f) {
        x0 = std::max(x0, 0), y0 = std::max(y0, 0);
        x1 = std::min(x1, width_), y1 = std::min(y1, height_);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                float px = x + 0.5f, py = y + 0.5f;
                float cover = clamp01(0.5f - distance(px, py));
                if (cover > 0) blend(x, y, colour(px, py), cover * opacity);
            }
    }
    template <class Distance>
    void paintSolid(int x0, int y0, int x1, int y1, Distance distance, Rgb c, float opacity = 1.0f) {
        paint(
            x0, y0, x1, y1, distance, [c](float, float) { return c; }, opacity);
    }

    // Paints a mask placed with its top-left at (ox, oy).
    template <class Colour>
    void paintMask(const Mask& m, int ox, int oy, Colour colour, float opacity = 1.0f) {
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x) {
                float a = m.at(x, y);
                if (a > 0) blend(ox + x, oy + y, colour(float(ox + x) + 0.5f, float(oy + y) + 0.5f), a * opacity);
            }
    }
    void paintMaskSolid(const Mask& m, int ox, int oy, Rgb c, float opacity = 1.0f) {
        paintMask(
            m, ox, oy, [c](float, float) { return c; }, opacity);
    }

    void fill(Rgb c) { std::fill(pixels_.begin(), pixels_.end(), c); }
    void clampAll() {
        for (Rgb& p : pixels_) p = {clamp01(p.r), clamp01(p.g), clamp01(p.b)};
    }

private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

// Signed distances, in pixels.
inline float circleDistance(float px, float py, float cx, float cy, float r) {
    return std::hypot(px - cx, py - cy) - r;
}
inline float roundedBoxDistance(float px, float py, float cx, float cy, float halfW, float halfH, float radius) {
    float qx = std::fabs(px - cx) - (halfW - radius);
    float qy = std::fabs(py - cy) - (halfH - radius);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}
// Triangle given by three corners in any winding.
float triangleDistance(float px, float py, const float (&xs)[3], const float (&ys)[3]);

// Grows a mask by radius pixels (a round pen), for outlines around text.
Mask dilate(const Mask& m, float radius, int margin);
// Blurs a mask with a box blur repeated three times (close to a Gaussian), for glows.
Mask blur(const Mask& m, int radius);

}  // namespace artgen
