// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The heads-up display: digits, labels, menu words and gauge blocks copied pixel by pixel
// from the sprite sheet straight into the back buffer, skipping the sheet's blue
// background. No 3D pipeline: whatever is drawn after the HUD covers it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "game/operations.h"
#include "game/passes.h"

namespace vemol {

namespace {

// Sprite sheet regions (top-left corners on the sheet).
constexpr int kGaugeBlockA = 0;   // light yellow block at (0, 0)
constexpr int kGaugeBlockB = 45;  // darker yellow block at (45, 0)
constexpr int kBlockSize = 44;
constexpr int kRedDigitsY = 43;     // play digits at (16 d, 43)
constexpr int kYellowDigitsY = 58;  // title digits at (16 d, 58)
constexpr int kDigitWidth = 16;
constexpr int kDigitHeight = 24;
constexpr int kDigitCount = 5;

// Every copied rectangle leaves out its last three columns and rows.
constexpr int kUncopiedEdge = 3;

// The sheet's background is pure blue, which the copy leaves out. On a 16-bit sheet only
// the low byte is compared, so any colour whose low byte matches blue's is left out too.
constexpr gfx::ColourKey kSheetKey16{0xFFu, 0x1Fu};
constexpr gfx::ColourKey kSheetKey32{0x00FFFFFFu, 0x000000FFu};

// Deliberate difference: negative-best-score.
// Shows the last five digits of a value, least significant first, each a w x h copy.
// A negative value (only a corrupt best-score file can give one) shows its magnitude's
// digits: the remainder of a negative value is negative and would point left of digit 0.
void DrawNumber(GameState& g, std::int32_t value, int sheetY, int rightX, int y) {
    for (int n = 0; n < kDigitCount; ++n) {
        const int digit = std::abs(value % 10);
        value /= 10;
        BlitSprite(g, kDigitWidth, kDigitHeight, kDigitWidth * digit, sheetY, rightX - kDigitWidth * n, y);
    }
}

// Block column k's left edge and gauge row i's top edge, in double precision as the
// layout was first worked out, truncated toward zero.
int GaugeX(int k) { return static_cast<int>(37.6 * k); }

int GaugeY(int i) {
    const double y0 = std::floor(39.4 * (i + 1));
    if (i >= 3 && i <= 8) return static_cast<int>(y0);
    return static_cast<int>((i - 6.2) * 0.6 + y0);
}

void DrawGauges(GameState& g) {
    for (int i = 0; i < kColumns; ++i) {
        for (int k = 0; k < kGaugeCells; ++k) {
            if (!CountDownGaugeCell(g, i, k)) continue;
            const int sheetX = (i % 2 == k % 2) ? kGaugeBlockB : kGaugeBlockA;  // a checkerboard
            BlitSprite(g, kBlockSize, kBlockSize, sheetX, 0, GaugeX(k), GaugeY(i));
            TestGaugeEnd(g, k);
        }
    }
}

void DrawPlayHud(GameState& g) {
    const std::int32_t shownBest = std::max(g.bestScore, g.score);
    DrawNumber(g, g.score, kRedDigitsY, 600, 150);
    DrawNumber(g, shownBest, kRedDigitsY, 600, 230);
    DrawGauges(g);
}

void DrawTitleHud(GameState& g) {
    const std::int32_t shownBest = std::max(g.bestScore, g.score);
    DrawNumber(g, g.score, kYellowDigitsY, 209, 360);
    DrawNumber(g, shownBest, kYellowDigitsY, 494, 360);
    BlitSprite(g, 400, 40, 0, 92, 150, 330);                          // the labels Score and HiScore
    BlitSprite(g, 100, 110, 0, 124, 290, 320);                        // Start, Send, Exit
    BlitSprite(g, 150, 40, 0, 240, 268, 329 + 37 * g.menuSelection);  // the selection marker
}

}  // namespace

// The sheet is made in the back buffer's format, so its pixels copy unchanged.
void BlitSprite(GameState& g, int width, int height, int sx, int sy, int dx, int dy) {
    if (!g.spriteSheet) return;  // the sheet could not be read: no HUD
    const gfx::Rect copied{sx, sy, sx + width - kUncopiedEdge, sy + height - kUncopiedEdge};
    const gfx::ColourKey key = g.device->format() == gfx::Format::R5G6B5 ? kSheetKey16 : kSheetKey32;
    g.device->copyKeyedToBackBuffer(*g.spriteSheet, copied, dx, dy, key);
}

void DrawHud(GameState& g) {
    if (g.playing == 1)
        DrawPlayHud(g);
    else
        DrawTitleHud(g);
}

}  // namespace vemol
