// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EFFECT: the HUD sheet. The HUD copies rectangles of it pixel by pixel and skips the
// pure blue background, and it copies only the top-left (w - 3) x (h - 3) pixels of each
// region. Regions overlap, so every glyph keeps inside the part of its region that is
// copied and out of its neighbours' (see the row numbers below). Edges are hard: a
// half-blue edge pixel would show as a blue fringe on the screen.
#include "tools/artgen/artwork.h"
#include "tools/artgen/text.h"

#include <string>

namespace artgen {
namespace {

const Rgb kSheetBlue{0.0f, 0.0f, 1.0f};

// Drawn pixels and how much of each pixel is covered; pixels less than half covered
// stay background.
struct Sheet {
    Canvas ink{640, 480, rgb8(16, 16, 24)};
    Mask cover{640, 480};

    template <class Colour>
    void addMask(const Mask& m, int ox, int oy, Colour colour) {
        ink.paintMask(m, ox, oy, colour);
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x)
                if (ink.inside(ox + x, oy + y))
                    cover.ref(ox + x, oy + y) = std::max(cover.at(ox + x, oy + y), m.at(x, y));
    }
    // Text with a dark outline of the given width; the outline is what meets the background.
    template <class Colour>
    void addOutlinedText(const TextMask& t, int left, int top, float outline, Rgb outlineColour, Colour fill) {
        int margin = int(std::ceil(outline)) + 1;
        addMask(dilate(t.mask, outline, margin), left - margin, top - margin,
                [=](float, float) { return outlineColour; });
        addMask(t.mask, left, top, fill);
    }
    Canvas finish() {
        Canvas out(640, 480, kSheetBlue);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (cover.at(x, y) >= 0.5f) {
                    Rgb p = ink.at(x, y);
                    out.at(x, y) = {clamp01(p.r), clamp01(p.g), std::min(clamp01(p.b), kHudMaxDrawnBlue)};
                }
        return out;
    }
};

Rgb verticalGradient(Rgb top, Rgb bottom, float y, float y0, float y1) {
    return mix(top, bottom, clamp01((y - y0) / (y1 - y0)));
}

// A gauge block: 41 x 41 visible, bevelled, lit from the upper left.
void drawGaugeBlock(Sheet& s, int left, Rgb face) {
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x) {
            Rgb c = mix(face, scale(face, 0.88f), float(x + y) / 80.0f);
            if (x < 3 || y < 3) c = mix(face, rgb8(255, 255, 235), 0.6f);
            if (x >= 34 || y >= 34) c = scale(face, 0.62f);
            if (x == 0 || y == 0 || x == 40 || y == 40) c = scale(face, 0.4f);
            s.ink.at(left + x, y) = c;
            s.cover.ref(left + x, y) = 1.0f;
        }
    // A soft gleam in the upper left of the face.
    Mask gleam(41, 41);
    for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 41; ++x)
            gleam.ref(x, y) = 0.35f * clamp01(1.0f - std::hypot(float(x) - 12.0f, float(y) - 12.0f) / 10.0f);
    s.ink.paintMaskSolid(gleam, left, 0, rgb8(255, 255, 255));
}

// Ten digits, each within 13 x 15 pixels at (16 d, top).
void drawDigitRow(Sheet& s, int top, Rgb light, Rgb dark, Rgb outline) {
    int size = 4;
    for (int candidate = 4; candidate < 40; ++candidate) {
        bool fits = true;
        for (char d = '0'; d <= '9'; ++d) {
            TextMask t = renderText(Face::SansBold, candidate, std::string(1, d));
            fits &= t.mask.width <= 11 && t.mask.height <= 13;
        }
        if (!fits) break;
        size = candidate;
    }
    for (int d = 0; d <= 9; ++d) {
        TextMask t = renderText(Face::SansBold, size, std::string(1, char('0' + d)));
        int left = 16 * d + 1 + (11 - t.mask.width) / 2;
        int glyphTop = top + 1 + (13 - t.mask.height);
        s.addOutlinedText(t, left, glyphTop, 1.0f, outline, [=](float, float y) {
            return verticalGradient(light, dark, y, float(glyphTop), float(glyphTop + t.mask.height));
        });
    }
}

void drawWord(Sheet& s, const char* word, int capHeight, float centreX, int top, Rgb light, Rgb dark, Rgb outline) {
    int size = fitPixelSize(Face::SansBold, "S", 200, capHeight);
    TextMask t = renderText(Face::SansBold, size, word, 1);
    // Never into column 0 or beyond: the outline needs its two pixels.
    int left = std::max(2, int(std::lround(centreX - t.mask.width / 2.0f)));
    int glyphTop = top + (capHeight - t.baseline);
    s.addOutlinedText(t, left, glyphTop, 1.5f, outline, [=](float, float y) {
        return verticalGradient(light, dark, y, float(glyphTop), float(glyphTop + t.baseline));
    });
}

void drawMarkerTriangle(Sheet& s, float tipX, float centreY, bool pointsRight) {
    const float length = 13.0f, half = 6.5f;
    float backX = pointsRight ? tipX - length : tipX + length;
    float xs[3] = {backX, backX, tipX}, ys[3] = {centreY - half, centreY + half, centreY};
    Mask shape(640, 480), body(640, 480);
    for (int y = int(centreY - half) - 3; y <= int(centreY + half) + 3; ++y)
        for (int x = int(std::min(backX, tipX)) - 3; x <= int(std::max(backX, tipX)) + 3; ++x) {
            float d = triangleDistance(float(x) + 0.5f, float(y) + 0.5f, xs, ys);
            shape.ref(x, y) = clamp01(1.5f - d);  // with its outline
            body.ref(x, y) = clamp01(0.0f - d);   // the orange inside
        }
    s.addMask(shape, 0, 0, [](float, float) { return rgb8(60, 20, 0); });
    s.addMask(body, 0, 0, [=](float, float y) {
        return verticalGradient(rgb8(255, 200, 90), rgb8(240, 110, 10), y, centreY - half, centreY + half);
    });
}

}  // namespace

Canvas makeHudSheet() {
    Sheet s;
    // Gauge blocks A (light) and B (darker), regions (0, 0) and (45, 0), 44 x 44.
    drawGaugeBlock(s, 0, rgb8(255, 236, 120));
    drawGaugeBlock(s, 45, rgb8(232, 170, 36));
    // Red play digits in rows 43..57, yellow title digits in rows 64..78; rows 58..63
    // stay blue because the red cells (rows 43..63) and yellow cells (58..78) share them.
    drawDigitRow(s, 43, rgb8(255, 130, 110), rgb8(220, 24, 24), rgb8(50, 0, 0));
    drawDigitRow(s, 64, rgb8(255, 252, 190), rgb8(255, 186, 20), rgb8(70, 34, 0));
    // Labels in rows 92..123 (the label region reaches row 128 but rows 124..128 of its
    // left part belong to the menu region too). Drawn at screen (150, 330), so Score sits
    // over the score digits (screen x 145..225) and HiScore over the best (430..510).
    drawWord(s, "Score", 15, 33.0f, 100, rgb8(190, 240, 255), rgb8(70, 170, 255), rgb8(0, 10, 40));
    drawWord(s, "HiScore", 15, 318.0f, 100, rgb8(190, 240, 255), rgb8(70, 170, 255), rgb8(0, 10, 40));
    // Menu words 37 rows apart from row 129 on; drawn at screen (290, 320). The marker,
    // drawn at (268, 329 + 37 s), has its triangles centred on marker columns 20 and 105
    // (85 apart), so the words centre on sheet column 40 and the triangles sit on the
    // words' middle row.
    const int wordTop = 133, capHeight = 16;
    const char* words[3] = {"Start", "Send", "Exit"};
    for (int i = 0; i < 3; ++i)
        drawWord(s, words[i], capHeight, 40.5f, wordTop + 37 * i, rgb8(255, 255, 255), rgb8(200, 214, 255),
                 rgb8(10, 12, 50));
    const float wordMiddleOnScreen = 320.0f + float(wordTop - 124) + capHeight / 2.0f;
    const float markerRow = 240.0f + (wordMiddleOnScreen - 329.0f);
    drawMarkerTriangle(s, 20.0f + 6.5f, markerRow, true);
    drawMarkerTriangle(s, 105.0f - 6.5f, markerRow, false);
    return s.finish();
}

}  // namespace artgen
