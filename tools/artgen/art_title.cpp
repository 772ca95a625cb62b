// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// OPENING: the title picture, also the backdrop of the game-over break-up. The window
// shows its left 468 and top 353 texels, about 1.35 times enlarged (texel u = screen
// x x 0.741, v = 1.3 + screen y x 0.776). The game's name and the tumbling dice fill the
// upper part; the lower middle is a calm dark tray, because the HUD lays the labels,
// the yellow digits, the menu words and the marker over screen y 330..445.
#include "tools/artgen/artwork.h"
#include "tools/artgen/random.h"
#include "tools/artgen/text.h"

namespace artgen {
namespace {

constexpr float kVisibleWidth = 468.0f, kVisibleHeight = 353.0f;
constexpr float kHorizonV = 236.0f;
constexpr float kCentreU = kVisibleWidth / 2;

void drawSky(Canvas& c, Random& random) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            float t = clamp01(float(y) / kHorizonV);
            Rgb sky = t < 0.6f ? mix(rgb8(6, 6, 26), rgb8(36, 18, 78), t / 0.6f)
                               : mix(rgb8(36, 18, 78), rgb8(128, 40, 120), (t - 0.6f) / 0.4f);
            c.at(x, y) = sky;
        }
    for (int i = 0; i < 140; ++i) {
        float x = float(random.unit()) * 512.0f, y = float(random.unit()) * (kHorizonV - 40.0f);
        float r = 0.5f + 0.9f * float(random.unit()) * float(random.unit());
        float bright = 0.35f + 0.65f * float(random.unit());
        c.paintSolid(
            int(x) - 3, int(y) - 3, int(x) + 4, int(y) + 4,
            [&](float px, float py) { return circleDistance(px, py, x, y, r); }, rgb8(220, 225, 255), bright);
    }
}

// A floor of glowing lines running to the horizon, in perspective.
void drawFloor(Canvas& c) {
    for (int y = int(kHorizonV); y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            float depth = (float(y) + 0.5f - kHorizonV) / (kVisibleHeight - kHorizonV);  // 0 at horizon
            Rgb ground = mix(rgb8(40, 10, 60), rgb8(14, 4, 30), clamp01(depth));
            float z = 1.0f / std::max(depth, 0.02f);  // distance into the picture
            float across = (float(x) + 0.5f - kCentreU) * z / 60.0f;
            float lineX = std::fabs(across - std::round(across)) / (z / 60.0f);  // in pixels
            float lineZ = std::fabs(z * 2.0f - std::round(z * 2.0f)) / (2.0f * z * z / (kVisibleHeight - kHorizonV));
            // Far away the lines crowd together; each set fades out before its lines come
            // closer than a few pixels, so the distance reads as a haze, not a shimmer.
            float rowSpacing = (kVisibleHeight - kHorizonV) / (2.0f * z * z), columnSpacing = 60.0f / z;
            float glow = clamp01(1.2f - lineX) * smoothstep(2.0f, 6.0f, columnSpacing) +
                         clamp01(1.0f - lineZ) * smoothstep(2.0f, 6.0f, rowSpacing);
            glow *= smoothstep(0.02f, 0.3f, depth);
            c.at(x, y) = mix(ground, rgb8(255, 90, 200), clamp01(glow) * 0.55f);
        }
    // The horizon glows.
    for (int y = int(kHorizonV) - 20; y < int(kHorizonV) + 8; ++y)
        for (int x = 0; x < c.width(); ++x) {
            float d = (float(y) + 0.5f - kHorizonV);
            c.addLight(x, y, rgb8(255, 120, 200), 0.35f * std::exp(-d * d / 40.0f));
        }
}

void drawTitleWord(Canvas& c) {
    const char* title = "VEMOL";
    int size = fitPixelSize(Face::SansBoldOblique, title, 300, 84, 4);
    TextMask t = renderText(Face::SansBoldOblique, size, title, 4);
    int left = int(kCentreU - t.mask.width / 2.0f), top = 46;
    Mask glow = blur(dilate(t.mask, 3.0f, 14), 4);
    c.paintMaskSolid(glow, left - 14, top - 14, rgb8(255, 80, 180), 0.7f);
    c.paintMaskSolid(dilate(t.mask, 3.5f, 5), left - 5, top - 5, rgb8(24, 6, 40));
    c.paintMask(t.mask, left, top, [&](float, float y) {
        float k = clamp01((y - float(top)) / float(t.mask.height));
        // Gold, with a bright band across the middle like polished metal.
        Rgb upper = mix(rgb8(255, 250, 210), rgb8(255, 200, 60), k / 0.5f);
        Rgb lower = mix(rgb8(255, 150, 20), rgb8(255, 220, 120), (k - 0.5f) / 0.5f);
        return k < 0.5f ? upper : lower;
    });
}

void drawTagline(Canvas& c) {
    const char* words[3] = {"ROLL", "MATCH", "SHOOT"};
    TextMask masks[3];
    int total = 0;
    const int gap = 22;
    for (int i = 0; i < 3; ++i) {
        masks[i] = renderText(Face::SansBold, 15, words[i], 2);
        total += masks[i].mask.width + (i ? gap : 0);
    }
    int x = int(kCentreU - total / 2.0f);
    const int baseline = 160;
    for (int i = 0; i < 3; ++i) {
        int top = baseline - masks[i].baseline;
        c.paintMaskSolid(dilate(masks[i].mask, 1.5f, 3), x - 3, top - 3, rgb8(10, 4, 30));
        c.paintMaskSolid(masks[i].mask, x, top, rgb8(140, 235, 255));
        x += masks[i].mask.width;
        if (i < 2) {
            float cx = float(x) + gap / 2.0f, cy = float(baseline) - 5.5f;
            c.paintSolid(
                int(cx) - 5, int(cy) - 5, int(cx) + 6, int(cy) + 6,
                [&](float px, float py) { return std::fabs(px - cx) + std::fabs(py - cy) - 3.5f; },
                rgb8(255, 150, 220));
            x += gap;
        }
    }
}

void drawDice(Canvas& c) {
    struct Placed {
        float u, v, size, angle;
        int pips;
    };
    const Placed dice[] = {
        {40, 64, 50, -0.32f, 5},  {430, 60, 54, 0.28f, 3}, {118, 200, 36, 0.22f, 6},
        {360, 194, 32, -0.4f, 2}, {36, 196, 24, 0.5f, 4},  {440, 204, 22, -0.1f, 1},
    };
    for (const Placed& d : dice) {
        // A soft shadow offset down and right, then the die.
        Canvas shade(c.width(), c.height());
        Mask shadow(c.width(), c.height());
        float cx = d.u + d.size * 0.12f, cy = d.v + d.size * 0.16f, half = d.size / 2;
        for (int y = int(cy - d.size); y < int(cy + d.size); ++y)
            for (int x = int(cx - d.size); x < int(cx + d.size); ++x) {
                if (!c.inside(x, y)) continue;
                float lx = (x - cx) * std::cos(d.angle) + (y - cy) * std::sin(d.angle);
                float ly = -(x - cx) * std::sin(d.angle) + (y - cy) * std::cos(d.angle);
                float dist = roundedBoxDistance(lx, ly, 0, 0, half, half, d.size * 0.16f);
                shadow.ref(x, y) = 0.5f * clamp01(1.0f - dist / (d.size * 0.15f));
            }
        c.paintMaskSolid(shadow, 0, 0, rgb8(0, 0, 10));
        drawDieFaceTurned(c, d.u, d.v, d.size, d.pips, d.size * 0.16f, d.angle);
    }
}

void drawMenuTray(Canvas& c) {
    const float left = 96.0f, right = 396.0f, top = 246.0f, bottom = 372.0f;
    float cx = (left + right) / 2, cy = (top + bottom) / 2, hw = (right - left) / 2, hh = (bottom - top) / 2;
    c.paintSolid(
        int(left) - 4, int(top) - 4, int(right) + 5, int(bottom) + 5,
        [&](float x, float y) { return roundedBoxDistance(x, y, cx, cy, hw + 2.0f, hh + 2.0f, 12.0f); },
        rgb8(150, 110, 230), 0.85f);
    c.paint(
        int(left) - 4, int(top) - 4, int(right) + 5, int(bottom) + 5,
        [&](float x, float y) { return roundedBoxDistance(x, y, cx, cy, hw, hh, 10.0f); },
        [&](float, float y) { return mix(rgb8(14, 10, 40), rgb8(6, 4, 22), clamp01((y - top) / (bottom - top))); },
        0.92f);
}

}  // namespace

Canvas makeTitle() {
    Canvas c(512, 512);
    Random random(0x7171E);
    drawSky(c, random);
    drawFloor(c);
    drawDice(c);
    drawTitleWord(c);
    drawTagline(c);
    drawMenuTray(c);
    c.clampAll();
    return c;
}

}  // namespace artgen
