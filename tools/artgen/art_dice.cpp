// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SAI: the six die faces. Seen at about 20 pixels (falling dice and shots) and about 45
// (the player's cube), so the pips are large and dark with nothing fine between them.
#include "tools/artgen/artwork.h"

namespace artgen {
namespace {

const Rgb kIvory = rgb8(250, 247, 238);
const Rgb kIvoryShade = rgb8(206, 198, 182);
const Rgb kPip = rgb8(26, 32, 66);
const Rgb kPipRed = rgb8(214, 28, 44);

// Pip centres on a 3 x 3 grid, numbered 0..8 row by row.
const std::vector<int>& pipCells(int pips) {
    static const std::vector<int> layouts[7] = {
        {}, {4}, {2, 6}, {2, 4, 6}, {0, 2, 6, 8}, {0, 2, 4, 6, 8}, {0, 2, 3, 5, 6, 8},
    };
    return layouts[pips];
}

}  // namespace

void drawDieFace(Canvas& c, float left, float top, float size, int pips, float cornerRadius) {
    drawDieFaceTurned(c, left + size / 2, top + size / 2, size, pips, cornerRadius, 0.0f);
}

void drawDieFaceTurned(Canvas& c, float cx, float cy, float size, int pips, float cornerRadius, float angle) {
    const float half = size / 2, cosA = std::cos(angle), sinA = std::sin(angle);
    const float reach = half * 1.5f + 2.0f;
    const int x0 = int(cx - reach), y0 = int(cy - reach), x1 = int(cx + reach) + 1, y1 = int(cy + reach) + 1;
    // Everything is drawn in the face's own coordinates, (0, 0) at its centre.
    auto local = [&](float x, float y, float& lx, float& ly) {
        lx = (x - cx) * cosA + (y - cy) * sinA;
        ly = -(x - cx) * sinA + (y - cy) * cosA;
    };
    c.paintSolid(
        x0, y0, x1, y1,
        [&](float x, float y) {
            float lx, ly;
            local(x, y, lx, ly);
            return roundedBoxDistance(lx, ly, 0, 0, half, half, cornerRadius);
        },
        kIvoryShade);
    // The face proper, lit from the upper left, inset from the rim.
    const float rim = size * 0.06f;
    c.paint(
        x0, y0, x1, y1,
        [&](float x, float y) {
            float lx, ly;
            local(x, y, lx, ly);
            return roundedBoxDistance(lx, ly, 0, 0, half - rim, half - rim, cornerRadius * 0.8f);
        },
        [&](float x, float y) {
            float lx, ly;
            local(x, y, lx, ly);
            return mix(rgb8(255, 253, 247), kIvory, clamp01((lx + ly) / (2.0f * size) + 0.5f));
        });
    auto pip = [&](float px, float py, float r, Rgb colour) {
        c.paint(
            x0, y0, x1, y1,
            [&](float x, float y) {
                float lx, ly;
                local(x, y, lx, ly);
                return circleDistance(lx, ly, px, py, r);
            },
            [&](float x, float y) {
                // A pip is a shallow hollow: darker at the upper left where the rim shades it.
                float lx, ly;
                local(x, y, lx, ly);
                return mix(scale(colour, 0.72f), colour, clamp01(((lx - px) + (ly - py)) / (2.0f * r) + 0.5f));
            });
    };
    if (pips == 1) {
        pip(0, 0, size * 0.19f, kPipRed);
        return;
    }
    const float r = size * 0.105f, step = size * 0.27f;
    for (int cell : pipCells(pips)) pip(float(cell % 3 - 1) * step, float(cell / 3 - 1) * step, r, kPip);
}

Canvas makeDiceSheet() {
    Canvas c(256, 256, rgb8(40, 44, 60));
    for (int face = 1; face <= 6; ++face) {
        int cell = face - 1;
        // The face fills its cell edge to edge: on the player's cube the cells meet at the
        // cube's edges, and the rim reads as the edge.
        drawDieFace(c, float(cell % 4) * 64.0f, float(cell / 4) * 64.0f, 64.0f, face, 6.0f);
    }
    return c;
}

}  // namespace artgen
