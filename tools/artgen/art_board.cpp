// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BG: the play board. The backdrop maps world (x, z) to texel u = (x + 28) / 70 x 512,
// v = (21 - z) / 70 x 512, and the window shows about u 3..406, v 2..305: the twelve
// lanes and the player's strip on the left, the score panel on the right.
#include "tools/artgen/artwork.h"
#include "tools/artgen/text.h"

namespace artgen {
namespace {

float texelU(float x) { return (x + 28.0f) / 70.0f * 512.0f; }
float texelV(float z) { return (21.0f - z) / 70.0f * 512.0f; }
constexpr float kTexelsPerUnit = 512.0f / 70.0f;

const float kBoardLeft = texelU(3.46f * 0 - 22.7f - 1.73f);
const float kBoardRight = texelU(3.46f * 11 - 22.7f + 1.73f);
const float kLandingV = texelV(-15.0f);

void drawBackground(Canvas& c) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            float t = float(y) / float(c.height());
            c.at(x, y) = mix(rgb8(6, 9, 28), rgb8(14, 20, 50), t);
        }
}

void drawLanes(Canvas& c) {
    const float laneWidth = 3.46f * kTexelsPerUnit;
    for (int k = 0; k < 12; ++k) {
        float centre = texelU(3.46f * float(k) - 22.7f);
        Rgb base = (k % 2) ? rgb8(24, 36, 84) : rgb8(19, 29, 70);
        c.paint(
            int(centre - laneWidth / 2) - 1, 0, int(centre + laneWidth / 2) + 2, int(kLandingV) + 1,
            [&](float x, float y) { return std::max(std::fabs(x - centre) - laneWidth / 2, y - kLandingV); },
            [&](float, float y) { return mix(scale(base, 0.55f), base, smoothstep(0.0f, kLandingV, y)); });
        // Studs down the lane centre, every five units, brightening toward the player.
        for (float z = 20.0f; z > -14.0f; z -= 5.0f) {
            float v = texelV(z), glow = 0.25f + 0.5f * smoothstep(0.0f, kLandingV, v);
            c.paintSolid(
                int(centre) - 4, int(v) - 4, int(centre) + 5, int(v) + 5,
                [&](float x, float y) { return circleDistance(x, y, centre, v, 1.6f); }, rgb8(90, 130, 220), glow);
        }
    }
    // Separators between lanes and at both board edges.
    for (int k = 0; k <= 12; ++k) {
        float edge = texelU(3.46f * float(k) - 22.7f - 1.73f);
        bool outer = k == 0 || k == 12;
        float half = outer ? 1.6f : 0.6f;
        c.paint(
            int(edge) - 3, 0, int(edge) + 4, int(kLandingV) + 1,
            [&](float x, float y) { return std::max(std::fabs(x - edge) - half, y - kLandingV); },
            [&](float, float y) {
                Rgb line = outer ? rgb8(110, 150, 235) : rgb8(70, 100, 185);
                return scale(line, 0.5f + 0.5f * smoothstep(0.0f, kLandingV, y));
            });
    }
}

void drawPlayerStrip(Canvas& c) {
    // The strip under the landing line where the player's die rolls: 12 cells by 2 rows.
    c.paint(
        int(kBoardLeft) - 2, int(kLandingV), int(kBoardRight) + 3, c.height(),
        [&](float x, float y) {
            return std::max({kBoardLeft - x, x - kBoardRight, kLandingV - y});
        },
        [](float, float y) { return mix(rgb8(16, 24, 56), rgb8(10, 14, 34), smoothstep(264.0f, 320.0f, y)); });
    const float cell = 3.45f * kTexelsPerUnit;
    for (int row = 0; row < 2; ++row) {
        float v = texelV(row == 0 ? -15.3f : -18.75f);
        for (int k = 0; k < 12; ++k) {
            float u = texelU(-22.55f + 3.45f * float(k));
            c.paint(
                int(u - cell), int(v - cell), int(u + cell), int(v + cell),
                [&](float x, float y) {
                    float box = roundedBoxDistance(x, y, u, v, cell / 2 - 2.0f, cell / 2 - 2.0f, 4.0f);
                    return std::fabs(box) - 0.5f;
                },
                [](float, float) { return rgb8(48, 70, 140); }, 0.8f);
        }
    }
}

void drawLandingLine(Canvas& c) {
    Mask glow(c.width(), c.height());
    for (int y = int(kLandingV) - 12; y <= int(kLandingV) + 12; ++y)
        for (int x = int(kBoardLeft); x <= int(kBoardRight); ++x) {
            float d = std::fabs(float(y) + 0.5f - kLandingV);
            glow.ref(x, y) = std::exp(-d * d / 18.0f);
        }
    c.paintMaskSolid(glow, 0, 0, rgb8(60, 200, 255), 0.55f);
    c.paint(
        int(kBoardLeft), int(kLandingV) - 3, int(kBoardRight) + 1, int(kLandingV) + 4,
        [&](float, float y) { return std::fabs(y - kLandingV) - 1.0f; },
        [](float, float) { return rgb8(200, 245, 255); });
    // A downward chevron at the foot of every lane: this is where a die lands.
    for (int k = 0; k < 12; ++k) {
        float u = texelU(3.46f * float(k) - 22.7f), tip = kLandingV - 5.0f;
        float xs[3] = {u - 6.0f, u + 6.0f, u}, ys[3] = {tip - 7.0f, tip - 7.0f, tip};
        c.paintSolid(
            int(u) - 8, int(tip) - 9, int(u) + 9, int(tip) + 2,
            [&](float x, float y) { return triangleDistance(x, y, xs, ys); }, rgb8(80, 190, 255), 0.7f);
    }
}

void drawLabel(Canvas& c, const char* text, float centreU, float baselineV, int capHeight) {
    // Both labels at one size, the one that lets the longer fit the panel.
    int size =
        std::min(fitPixelSize(Face::SansBold, "HI-SCORE", 62, 40, 1), fitPixelSize(Face::SansBold, "S", 60, capHeight));
    TextMask t = renderText(Face::SansBold, size, text, 1);
    int left = int(std::lround(centreU - t.mask.width / 2.0f));
    int top = int(std::lround(baselineV)) - t.baseline;
    c.paintMaskSolid(dilate(t.mask, 1.2f, 2), left - 2, top - 2, rgb8(2, 4, 14));
    c.paintMask(t.mask, left, top, [&](float, float y) {
        return mix(rgb8(150, 230, 255), rgb8(60, 150, 255), clamp01((y - float(top)) / float(t.mask.height)));
    });
}

void drawDigitWell(Canvas& c, float top, float bottom) {
    const float left = 340.0f, right = 399.0f;
    float cx = (left + right) / 2, cy = (top + bottom) / 2, hw = (right - left) / 2, hh = (bottom - top) / 2;
    c.paintSolid(
        int(left) - 3, int(top) - 3, int(right) + 4, int(bottom) + 4,
        [&](float x, float y) { return roundedBoxDistance(x, y, cx, cy, hw + 1.5f, hh + 1.5f, 4.0f); },
        rgb8(70, 100, 180));
    c.paint(
        int(left) - 3, int(top) - 3, int(right) + 4, int(bottom) + 4,
        [&](float x, float y) { return roundedBoxDistance(x, y, cx, cy, hw, hh, 3.0f); },
        [&](float, float y) { return mix(rgb8(2, 3, 8), rgb8(12, 14, 30), clamp01((y - top) / (bottom - top))); });
}

void drawScorePanel(Canvas& c) {
    const float left = kBoardRight + 6.0f;
    c.paint(
        int(left) - 2, 0, c.width(), c.height(), [&](float x, float) { return left - x; },
        [](float x, float y) {
            Rgb base = mix(rgb8(12, 16, 40), rgb8(8, 10, 26), clamp01(y / 320.0f));
            return mix(base, rgb8(18, 24, 58), 0.5f * clamp01(1.0f - (x - 340.0f) / 60.0f));
        });
    c.paint(
        int(left) - 2, 0, int(left) + 3, c.height(), [&](float x, float) { return std::fabs(x - left) - 0.8f; },
        [](float, float) { return rgb8(90, 130, 220); });
    // Labels just above where the HUD writes the red digits (screen y 150 and 230).
    drawLabel(c, "SCORE", 369.5f, 94.0f, 11);
    drawDigitWell(c, 99.0f, 117.0f);
    drawLabel(c, "HI-SCORE", 369.5f, 147.0f, 11);
    drawDigitWell(c, 152.0f, 170.0f);
    // The point where knocked-out dice fly to and pay out: world (20, -5).
    float u = texelU(20.0f), v = texelV(-5.0f);
    for (float r : {13.0f, 8.0f}) {
        c.paintSolid(
            int(u) - 16, int(v) - 16, int(u) + 17, int(v) + 17,
            [&](float x, float y) { return std::fabs(circleDistance(x, y, u, v, r)) - 0.9f; }, rgb8(255, 200, 70),
            r > 10 ? 0.55f : 0.85f);
    }
    c.paintSolid(
        int(u) - 4, int(v) - 4, int(u) + 5, int(v) + 5,
        [&](float x, float y) { return circleDistance(x, y, u, v, 2.5f); }, rgb8(255, 230, 140));
    // The game's name at the top of the panel.
    int size = fitPixelSize(Face::SansBoldOblique, "VEMOL", 58, 20);
    TextMask name = renderText(Face::SansBoldOblique, size, "VEMOL", 1);
    int nl = int(369.5f - name.mask.width / 2.0f), nt = 30;
    c.paintMaskSolid(dilate(name.mask, 1.5f, 3), nl - 3, nt - 3, rgb8(0, 0, 0));
    c.paintMask(name.mask, nl, nt, [&](float, float y) {
        return mix(rgb8(255, 240, 150), rgb8(255, 150, 40), clamp01((y - float(nt)) / float(name.mask.height)));
    });
}

}  // namespace

Canvas makeBoard() {
    Canvas c(512, 512);
    drawBackground(c);
    drawLanes(c);
    drawPlayerStrip(c);
    drawLandingLine(c);
    drawScorePanel(c);
    c.clampAll();
    return c;
}

}  // namespace artgen
