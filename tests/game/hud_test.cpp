// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The HUD copy into the back buffer, on both back-buffer formats, with a small sprite
// sheet painted here: one solid colour per region, so every copied pixel tells where
// it came from.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "game/operations.h"
#include "game/passes.h"

namespace vemol {
namespace {

constexpr std::uint32_t kBlue = 0xFF0000FFu;     // the sheet's background
constexpr std::uint32_t kCleared = 0xFFFBEDB5u;  // the back buffer before the HUD
constexpr std::uint32_t kBlockA = 0xFFFFF080u;
constexpr std::uint32_t kBlockB = 0xFFC0A000u;
constexpr std::uint32_t kLabels = 0xFF20C040u;
constexpr std::uint32_t kMenuWords = 0xFF8000F0u;
constexpr std::uint32_t kMarker = 0xFFF08000u;

std::uint32_t RedDigit(int d) { return 0xFF000000u | ((d + 1) * 16u) << 16 | 0x4000u; }
std::uint32_t YellowDigit(int d) { return 0xFF000000u | ((d + 1) * 16u) << 8 | 0x400000u; }

const int kGaugeX[10] = {0, 37, 75, 112, 150, 188, 225, 263, 300, 338};
const int kGaugeY[12] = {35, 74, 115, 157, 197, 236, 275, 315, 354, 395, 435, 474};

class HudTest : public ::testing::TestWithParam<gfx::Format> {
protected:
    void SetUp() override {
        g.device = std::make_unique<gfx::Device>(632, 453, format());
        g.spriteSheet = std::make_unique<gfx::Surface>(640, 480, format());
        Paint(0, 0, 640, 480, kBlue);
        Paint(0, 0, 44, 44, kBlockA);
        Paint(45, 0, 44, 44, kBlockB);
        for (int d = 0; d < 10; ++d) {
            Paint(16 * d, 43, 16, 15, RedDigit(d));  // the red and yellow rows share lines
            Paint(16 * d, 58, 16, 24, YellowDigit(d));
        }
        Paint(0, 92, 400, 32, kLabels);
        Paint(0, 124, 100, 110, kMenuWords);
        Paint(0, 240, 150, 40, kMarker);
        g.device->clear(kCleared, 1.0f);
        for (auto& column : g.columnGauge)
            for (auto& cell : column) cell = -1;
    }

    gfx::Format format() const { return GetParam(); }

    void PaintRaw(int x, int y, std::uint32_t raw) {
        gfx::LockedRect sheet = g.spriteSheet->lock();
        std::uint8_t* p = sheet.bits + y * sheet.pitch;
        if (format() == gfx::Format::R5G6B5) {
            const auto v = static_cast<std::uint16_t>(raw);
            std::memcpy(p + 2 * x, &v, 2);
        } else {
            std::memcpy(p + 4 * x, &raw, 4);
        }
        g.spriteSheet->unlock();
    }

    void Paint(int x0, int y0, int w, int h, std::uint32_t argb) {
        const std::uint32_t raw = format() == gfx::Format::R5G6B5 ? gfx::ToR5G6B5(argb) : argb;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) PaintRaw(x, y, raw);
    }

    // A colour as the back buffer holds it.
    std::uint32_t Stored(std::uint32_t argb) const {
        const std::uint32_t c = format() == gfx::Format::R5G6B5 ? gfx::FromR5G6B5(gfx::ToR5G6B5(argb)) : argb;
        return c & 0xFFFFFFu;
    }

    std::uint32_t At(int x, int y) const { return g.device->backBuffer().pixel(x, y) & 0xFFFFFFu; }

    // The five digits of a number whose ones digit stands at rightX.
    void ExpectNumber(int rightX, int y, const int digits[5], std::uint32_t (*colour)(int)) {
        for (int n = 0; n < 5; ++n) {
            const int x = rightX - 16 * (4 - n);
            EXPECT_EQ(At(x + 1, y + 10), Stored(colour(digits[n]))) << "digit " << n << " at x " << x;
        }
    }

    GameState g;
};

TEST_P(HudTest, PlayDigitsShowScoreAndTheLargerBest) {
    g.playing = 1;
    g.endCountdown = -1;
    g.score = 1234;
    g.bestScore = 98765;
    DrawHud(g);
    const int score[5] = {0, 1, 2, 3, 4}, best[5] = {9, 8, 7, 6, 5};
    ExpectNumber(600, 150, score, RedDigit);
    ExpectNumber(600, 230, best, RedDigit);
    EXPECT_EQ(At(535, 152), Stored(kCleared));
    EXPECT_EQ(At(600 + 12, 152), Stored(RedDigit(4)));  // the last copied column
    EXPECT_EQ(At(600 + 13, 152), Stored(kCleared));

    // A score beyond the record is shown as the best too; only the last five digits show.
    g.score = 123456;
    g.bestScore = 500;
    DrawHud(g);
    const int last5[5] = {2, 3, 4, 5, 6};
    ExpectNumber(600, 150, last5, RedDigit);
    ExpectNumber(600, 230, last5, RedDigit);
    EXPECT_EQ(g.bestScore, 500);
}

TEST_P(HudTest, NegativeValuesStayInsideTheDigitCells) {
    // Only a damaged best-score file gives a negative value; it must not pick sprite
    // pixels from outside the digit row.
    g.playing = 0;
    g.score = -42;
    g.bestScore = -2147483647 - 1;
    DrawHud(g);
    const int score[5] = {0, 0, 0, 4, 2};
    ExpectNumber(209, 360, score, YellowDigit);  // best shown = max(-2^31, -42) = -42
    ExpectNumber(494, 360, score, YellowDigit);
}

TEST_P(HudTest, TitleDigitsLabelsMenuAndMarker) {
    g.playing = 0;
    g.score = 70;
    g.bestScore = 31415;
    for (int selection = 0; selection < 3; ++selection) {
        g.menuSelection = selection;
        g.device->clear(kCleared, 1.0f);
        DrawHud(g);
        const int score[5] = {0, 0, 0, 7, 0}, best[5] = {3, 1, 4, 1, 5};
        ExpectNumber(209, 360, score, YellowDigit);
        ExpectNumber(494, 360, best, YellowDigit);
        EXPECT_EQ(At(150, 330), Stored(kLabels));
        EXPECT_EQ(At(149, 330), Stored(kCleared));
        EXPECT_EQ(At(500, 331), Stored(kLabels));
        EXPECT_EQ(At(291, 321), Stored(kMenuWords));
        EXPECT_EQ(At(387, 321), Stored(kCleared));
        const int markerY = 329 + 37 * selection;
        EXPECT_EQ(At(268, markerY), Stored(kMarker)) << "selection " << selection;
        EXPECT_EQ(At(414, markerY + 36), Stored(kMarker));
        EXPECT_NE(At(268, markerY - 1), Stored(kMarker));
        EXPECT_NE(At(415, markerY), Stored(kMarker));
        EXPECT_NE(At(268, markerY + 37), Stored(kMarker));
    }
}

TEST_P(HudTest, GaugeBlocksFormACheckerboardAtTheirPlaces) {
    g.playing = 1;
    g.endCountdown = 9;  // already ending: the full cells 0 start nothing
    for (auto& column : g.columnGauge)
        for (auto& cell : column) cell = 0;
    DrawHud(g);
    for (int i = 0; i < 10; ++i)
        for (int k = 0; k < 10; ++k) {
            const std::uint32_t want = Stored(i % 2 == k % 2 ? kBlockB : kBlockA);
            EXPECT_EQ(At(kGaugeX[k], kGaugeY[i]), want) << "row " << i << " block " << k;
        }
    // Each block shows 41 x 41 pixels and the next one covers the overlap: the block to
    // the right wins on its first column, the block below on its first row.
    EXPECT_EQ(At(36, 35), Stored(kBlockB));
    EXPECT_EQ(At(37, 35), Stored(kBlockA));
    EXPECT_EQ(At(378, 35), Stored(kBlockA));  // last copied column of block 9
    EXPECT_EQ(At(379, 35), Stored(kCleared));
    EXPECT_EQ(At(0, 73), Stored(kBlockB));  // row 0 reaches y 75, row 1 starts at 74
    EXPECT_EQ(At(0, 74), Stored(kBlockA));
    // Rows 10 and 11 run off the bottom: row 10 shows its top 18 lines, nothing is
    // written outside the back buffer.
    EXPECT_EQ(At(0, 452), Stored(kBlockB));
    EXPECT_EQ(At(37, 452), Stored(kBlockA));
    EXPECT_EQ(g.endCountdown, 9);
}

TEST_P(HudTest, ASingleBlockLeavesItsLastThreeRowsAndColumns) {
    g.playing = 1;
    g.columnGauge[2][9] = 0;
    DrawHud(g);
    const int x = kGaugeX[9], y = kGaugeY[2];
    EXPECT_EQ(At(x + 40, y + 40), Stored(kBlockA));
    EXPECT_EQ(At(x + 41, y), Stored(kCleared));
    EXPECT_EQ(At(x, y + 41), Stored(kCleared));
    EXPECT_EQ(At(x - 1, y), Stored(kCleared));
    EXPECT_EQ(At(x, y - 1), Stored(kCleared));
}

TEST_P(HudTest, ACellCountedDownToZeroShowsFromTheNextFrame) {
    g.playing = 1;
    g.columnGauge[4][3] = 1;
    DrawHud(g);
    EXPECT_EQ(g.columnGauge[4][3], 0);
    EXPECT_EQ(At(kGaugeX[3] + 5, kGaugeY[4] + 5), Stored(kCleared));
    DrawHud(g);
    EXPECT_EQ(At(kGaugeX[3] + 5, kGaugeY[4] + 5), Stored(kBlockA));
}

TEST_P(HudTest, AFullColumnCapturesTheHudUpToItsLastCell) {
    g.playing = 1;
    g.endCountdown = -1;
    for (int k = 0; k < 10; ++k) g.columnGauge[2][k] = 0;  // the fatal row
    g.columnGauge[1][4] = 0;
    g.columnGauge[5][4] = 0;
    DrawHud(g);
    ASSERT_EQ(g.endCountdown, 10);
    ASSERT_NE(g.captureTexture, nullptr);
    const gfx::Surface& capture = g.captureTexture->level0();
    auto captured = [&](int x, int y) { return capture.pixel(x, y) & 0xFFFFFFu; };
    // Visited before the trigger: the digits, row 1 and the fatal cell itself.
    EXPECT_EQ(captured(601, 160), Stored(RedDigit(0)));
    EXPECT_EQ(captured(kGaugeX[4] + 5, kGaugeY[1] + 5), Stored(kBlockA));
    EXPECT_EQ(captured(kGaugeX[0] + 5, kGaugeY[2] + 5), Stored(kBlockB));
    // Visited after it: the rest of the row and the rows below are only on screen.
    EXPECT_EQ(captured(kGaugeX[1] + 5, kGaugeY[2] + 5), Stored(kCleared));
    EXPECT_EQ(captured(kGaugeX[4] + 5, kGaugeY[5] + 5), Stored(kCleared));
    EXPECT_EQ(At(kGaugeX[1] + 5, kGaugeY[2] + 5), Stored(kBlockA));
    EXPECT_EQ(At(kGaugeX[4] + 5, kGaugeY[5] + 5), Stored(kBlockA));
}

TEST_P(HudTest, OnlyTheBackgroundColourIsLeftOut) {
    g.playing = 1;
    // Two pixels of digit 0: one whose 16-bit value ends in 0x1F, one pure blue.
    if (format() == gfx::Format::R5G6B5)
        PaintRaw(3, 45, 0xF81Fu);
    else
        PaintRaw(3, 45, 0xFFFF001Fu);  // not pure blue: a 32-bit sheet shows it
    PaintRaw(4, 45, format() == gfx::Format::R5G6B5 ? 0x001Fu : kBlue);
    DrawHud(g);
    const std::uint32_t pink = format() == gfx::Format::R5G6B5 ? Stored(kCleared) : 0xFF001Fu;
    EXPECT_EQ(At(600 + 3, 150 + 2), pink);
    EXPECT_EQ(At(600 + 4, 150 + 2), Stored(kCleared));
    EXPECT_EQ(At(600 + 5, 150 + 2), Stored(RedDigit(0)));
}

TEST_P(HudTest, CopiesAreClippedToTheBackBufferAndTheSheet) {
    BlitSprite(g, 44, 44, 0, 0, -10, -20);  // block A partly above and left of the picture
    EXPECT_EQ(At(0, 0), Stored(kBlockA));
    EXPECT_EQ(At(30, 20), Stored(kBlockA));
    EXPECT_EQ(At(31, 0), Stored(kCleared));
    EXPECT_EQ(At(0, 21), Stored(kCleared));

    BlitSprite(g, 44, 44, 45, 0, 620, 440);  // past the right and bottom edges
    EXPECT_EQ(At(631, 452), Stored(kBlockB));

    Paint(639, 479, 1, 1, kMarker);             // the sheet's last pixel
    BlitSprite(g, 44, 44, 630, 470, 100, 100);  // mostly off the sheet: only its own part
    EXPECT_EQ(At(109, 109), Stored(kMarker));
    EXPECT_EQ(At(110, 110), Stored(kCleared));

    BlitSprite(g, 3, 3, 0, 0, 200, 200);  // nothing left after the uncopied edge
    EXPECT_EQ(At(200, 200), Stored(kCleared));

    g.spriteSheet.reset();  // no sheet: nothing is copied
    BlitSprite(g, 44, 44, 0, 0, 300, 300);
    EXPECT_EQ(At(300, 300), Stored(kCleared));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, HudTest, ::testing::Values(gfx::Format::X8R8G8B8, gfx::Format::R5G6B5),
                         [](const auto& info) {
                             return info.param == gfx::Format::R5G6B5 ? std::string("R5G6B5") : std::string("X8R8G8B8");
                         });

}  // namespace
}  // namespace vemol
