// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// AVI 115: the maker's opening logo, 166 frames of 128 x 96 at 36 a second. Three
// crimson tiles tumble in one after another and settle side by side spelling KRM, a
// line grows beneath them, a gleam sweeps across and "presents" fades in underneath.
// The last frame stays on view once the clip ends, so it is the finished logo.
#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/text.h"

namespace artgen {
namespace {

constexpr int kWidth = 128, kHeight = 96, kFrames = 166;
constexpr float kTileSize = 30.0f, kTileY = 42.0f;

float easeOutBounce(float t) {
    if (t < 1 / 2.75f) return 7.5625f * t * t;
    if (t < 2 / 2.75f) return t -= 1.5f / 2.75f, 7.5625f * t * t + 0.75f;
    if (t < 2.5f / 2.75f) return t -= 2.25f / 2.75f, 7.5625f * t * t + 0.9375f;
    return t -= 2.625f / 2.75f, 7.5625f * t * t + 0.984375f;
}

void drawBackground(Canvas& c, float fade) {
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            // Dark blue in the middle, black at the edges, so the clip melts into the
            // dark window around it.
            float r = std::hypot((float(x) - 64.0f) / 68.0f, (float(y) - 44.0f) / 54.0f);
            c.at(x, y) = scale(mix(rgb8(30, 40, 96), rgb8(0, 0, 0), smoothstep(0.0f, 1.0f, r)), fade);
        }
}

// A glyph painted turned about (cx, cy), sampled from its mask.
void paintTurnedMask(Canvas& c, const Mask& m, float cx, float cy, float angle, Rgb colour) {
    const float cosA = std::cos(angle), sinA = std::sin(angle);
    const float reach = float(std::max(m.width, m.height));
    for (int y = int(cy - reach); y <= int(cy + reach); ++y)
        for (int x = int(cx - reach); x <= int(cx + reach); ++x) {
            float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
            float lx = dx * cosA + dy * sinA + m.width / 2.0f - 0.5f;
            float ly = -dx * sinA + dy * cosA + m.height / 2.0f - 0.5f;
            int ix = int(std::floor(lx)), iy = int(std::floor(ly));
            float fx = lx - float(ix), fy = ly - float(iy);
            float a = (m.at(ix, iy) * (1 - fx) + m.at(ix + 1, iy) * fx) * (1 - fy) +
                      (m.at(ix, iy + 1) * (1 - fx) + m.at(ix + 1, iy + 1) * fx) * fy;
            c.blend(x, y, colour, a);
        }
}

// A crimson tile with a white letter; the gleam is a slanted band of light at screen
// column gleamX (far off screen when there is none).
void drawTile(Canvas& c, const Mask& letter, float cx, float cy, float angle, float gleamX) {
    const float half = kTileSize / 2, cosA = std::cos(angle), sinA = std::sin(angle);
    auto local = [&](float x, float y, float& lx, float& ly) {
        lx = (x - cx) * cosA + (y - cy) * sinA;
        ly = -(x - cx) * sinA + (y - cy) * cosA;
    };
    const int x0 = int(cx - half * 1.5f) - 2, y0 = int(cy - half * 1.5f) - 2;
    const int x1 = int(cx + half * 1.5f) + 3, y1 = int(cy + half * 1.5f) + 3;
    // Shadow, rim, then the lit face.
    c.paintSolid(
        x0, y0 + 3, x1, y1 + 3,
        [&](float x, float y) {
            float lx, ly;
            local(x - 1.5f, y - 3.0f, lx, ly);
            return roundedBoxDistance(lx, ly, 0, 0, half, half, 6.0f) - 1.0f;
        },
        rgb8(0, 0, 8), 0.5f);
    c.paintSolid(
        x0, y0, x1, y1,
        [&](float x, float y) {
            float lx, ly;
            local(x, y, lx, ly);
            return roundedBoxDistance(lx, ly, 0, 0, half, half, 6.0f);
        },
        rgb8(120, 8, 24));
    c.paint(
        x0, y0, x1, y1,
        [&](float x, float y) {
            float lx, ly;
            local(x, y, lx, ly);
            return roundedBoxDistance(lx, ly, 0, 0, half - 2.0f, half - 2.0f, 4.5f);
        },
        [&](float x, float y) {
            float lx, ly;
            local(x, y, lx, ly);
            return mix(rgb8(250, 70, 80), rgb8(190, 20, 40), clamp01((lx + ly) / (2.0f * kTileSize) + 0.5f));
        });
    paintTurnedMask(c, letter, cx, cy, angle, rgb8(255, 250, 240));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            float lx, ly;
            local(float(x) + 0.5f, float(y) + 0.5f, lx, ly);
            float inside = clamp01(0.5f - roundedBoxDistance(lx, ly, 0, 0, half, half, 6.0f));
            float band = std::fabs((float(x) + 0.5f - gleamX) + 0.6f * (float(y) + 0.5f - cy));
            c.addLight(x, y, rgb8(255, 240, 200), 0.8f * inside * clamp01(1.0f - band / 5.0f));
        }
}

Canvas frame(int n, const Mask (&letters)[3], const TextMask& presents) {
    Canvas c(kWidth, kHeight);
    drawBackground(c, clamp01(float(n) / 12.0f));
    // Once the tiles have settled a bright line grows out from the middle beneath them.
    if (n >= 60) {
        float reach = 52.0f * smoothstep(60.0f, 80.0f, float(n));
        c.paint(
            0, 64, kWidth, 68,
            [&](float x, float y) { return std::max(std::fabs(x - 64.0f) - reach, std::fabs(y - 65.5f) - 0.6f); },
            [](float x, float) { return mix(rgb8(255, 220, 140), rgb8(255, 120, 60), std::fabs(x - 64.0f) / 52.0f); });
    }
    // The gleam crosses the logo from left to right between frames 84 and 114.
    const float gleamX = (n >= 84 && n <= 114) ? -20.0f + (float(n) - 84.0f) / 30.0f * 170.0f : -1000.0f;
    for (int i = 0; i < 3; ++i) {
        const int startFrame = 12 + 12 * i, landFrame = startFrame + 22;
        if (n < startFrame) continue;
        float t = clamp01(float(n - startFrame) / float(landFrame - startFrame));
        float cx = 24.0f + 40.0f * float(i);
        float cy = -kTileSize + (kTileY + kTileSize) * easeOutBounce(t);
        float angle = (1.0f - smoothstep(0.0f, 0.7f, t)) * (i == 1 ? -1.4f : 1.2f);
        drawTile(c, letters[i], cx, cy, angle, gleamX);
    }
    if (n >= 100) {
        float fade = clamp01(float(n - 100) / 30.0f);
        int left = (kWidth - presents.mask.width) / 2, top = 80 - presents.baseline;
        c.paintMaskSolid(presents.mask, left, top, rgb8(220, 230, 255), fade);
    }
    c.clampAll();
    return c;
}

}  // namespace

Movie makeOpeningMovie() {
    Mask letters[3];
    const char* names[3] = {"K", "R", "M"};
    for (int i = 0; i < 3; ++i) letters[i] = renderText(Face::SansBold, 26, names[i]).mask;
    TextMask presents = renderText(Face::SansBook, 11, "presents", 1);
    std::vector<Canvas> frames;
    for (int n = 0; n < kFrames; ++n) frames.push_back(frame(n, letters, presents));
    std::vector<const Canvas*> pointers;
    for (const Canvas& f : frames) pointers.push_back(&f);
    std::vector<IndexedImage> indexed = quantizeTogether(pointers, 216);
    Movie movie{kWidth, kHeight, 27778, 36, 1, indexed.front().palette, {}};
    movie.palette.resize(216);
    for (auto& image : indexed) movie.frames.push_back(std::move(image.index));
    return movie;
}

}  // namespace artgen
