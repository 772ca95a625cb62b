// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// EFFECT, the HUD sheet. The HUD copies the top-left (w - 3) x (h - 3) pixels of each
// region and skips pixels whose 16-bit form has 0x1F in its low byte, so glyphs must lie
// where they are copied, overlapping parts must be blue, and no drawn colour may look
// like the background once converted to 16 bits.
#include "resources/decode.h"

#include <gtest/gtest.h>

#include <set>

namespace vemol::resources::testing {
namespace {

constexpr Colour kBlue{0, 0, 255};

class HudSheet : public ::testing::Test {
protected:
    Picture sheet = decodePicture(mustFind("BITMAP", "EFFECT"));
    bool ink(int x, int y) const { return !(sheet.at(x, y) == kBlue); }
    int inkIn(int x0, int y0, int x1, int y1) const {  // inclusive box
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += ink(x, y);
        return n;
    }
    // First and last rows (or columns) holding ink within a box; -1 when empty.
    std::pair<int, int> inkRows(int x0, int y0, int x1, int y1) const {
        int first = -1, last = -1;
        for (int y = y0; y <= y1; ++y)
            if (inkIn(x0, y, x1, y)) {
                if (first < 0) first = y;
                last = y;
            }
        return {first, last};
    }
    std::pair<int, int> inkColumns(int x0, int y0, int x1, int y1) const {
        int first = -1, last = -1;
        for (int x = x0; x <= x1; ++x)
            if (inkIn(x, y0, x, y1)) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }
    double luminance(int x0, int y0, int x1, int y1) const {
        double sum = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                Colour c = sheet.at(x, y);
                sum += 0.3 * c.r + 0.59 * c.g + 0.11 * c.b;
            }
        return sum / ((x1 - x0 + 1) * (y1 - y0 + 1));
    }
};

TEST_F(HudSheet, NoDrawnColourTurnsTransparentIn16Bits) {
    std::set<int> used(sheet.index.begin(), sheet.index.end());
    int blueEntries = 0;
    for (int i : used) {
        Colour c = sheet.palette[i];
        if (c == kBlue) {
            ++blueEntries;
            continue;
        }
        // Truncating and rounding conversions to R5G6B5 and X1R5G5B5.
        for (bool round : {false, true}) {
            auto to = [round](int v, int bits) {
                int max = (1 << bits) - 1;
                return round ? (v * max + 127) / 255 : v >> (8 - bits);
            };
            int rgb565 = (to(c.r, 5) << 11) | (to(c.g, 6) << 5) | to(c.b, 5);
            int rgb555 = (to(c.r, 5) << 10) | (to(c.g, 5) << 5) | to(c.b, 5);
            EXPECT_NE(rgb565 & 0xFF, 0x1F) << int(c.r) << "," << int(c.g) << "," << int(c.b);
            EXPECT_NE(rgb555 & 0xFF, 0x1F) << int(c.r) << "," << int(c.g) << "," << int(c.b);
        }
    }
    EXPECT_EQ(blueEntries, 1);
    EXPECT_GT(inkIn(0, 0, 639, 479), 1000);
}

TEST_F(HudSheet, GaugeBlocksFillTheCopiedSquaresLightAndDark) {
    EXPECT_EQ(inkIn(0, 0, 40, 40), 41 * 41);
    EXPECT_EQ(inkIn(45, 0, 85, 40), 41 * 41);
    EXPECT_GT(luminance(0, 0, 40, 40), luminance(45, 0, 85, 40) + 20);
    // Both are yellow: red and green well above blue.
    for (int left : {0, 45}) {
        Colour middle = sheet.at(left + 20, 20);
        EXPECT_GT(middle.r, middle.b + 80);
        EXPECT_GT(middle.g, middle.b + 60);
    }
}

TEST_F(HudSheet, DigitsLieInTheRowsAndColumnsEachCellCopies) {
    // Red cells are copied from rows 43..63, yellow from 58..78: the shared rows 58..63
    // must be blank, red glyphs in 43..57, yellow in 64..78, each at most 13 wide.
    EXPECT_EQ(inkIn(0, 58, 170, 63), 0);
    std::set<std::vector<bool>> shapes[2];
    for (int d = 0; d <= 9; ++d) {
        SCOPED_TRACE(d);
        const int x0 = 16 * d;
        EXPECT_EQ(inkIn(x0 + 13, 43, x0 + 15, 80), 0);
        for (auto [top, bottom, red] : {std::tuple{43, 57, true}, std::tuple{64, 78, false}}) {
            auto rows = inkRows(x0, top - 2, x0 + 15, bottom + 2);
            ASSERT_GE(rows.first, top);
            EXPECT_LE(rows.second, bottom);
            EXPECT_GE(rows.second - rows.first, 10);  // a full-height digit
            int r = 0, g = 0, n = 0;
            std::vector<bool> shape;
            for (int y = top; y <= bottom; ++y)
                for (int x = x0; x <= x0 + 12; ++x) {
                    shape.push_back(ink(x, y));
                    if (!ink(x, y)) continue;
                    Colour c = sheet.at(x, y);
                    if (c.r + c.g < 200) continue;  // outline
                    r += c.r, g += c.g, ++n;
                }
            ASSERT_GT(n, 10);
            if (red) {
                EXPECT_GT(r / n, g / n + 60);
            } else {
                EXPECT_GT(g / n, 150);
            }
            shapes[red].insert(shape);
        }
    }
    EXPECT_EQ(shapes[0].size(), 10u);  // every glyph is a different picture
    EXPECT_EQ(shapes[1].size(), 10u);
}

TEST_F(HudSheet, LabelsStandOverTheirDigitsAndClearOfTheMenuRegion) {
    // Region (0, 92) 400 x 40, copied to (150, 330): rows 92..128, columns 0..396.
    EXPECT_EQ(inkIn(0, 124, 96, 128), 0);  // shared with the menu region
    auto rows = inkRows(0, 88, 396, 128);
    EXPECT_GE(rows.first, 92);
    EXPECT_LE(rows.second, 123);
    // The yellow digits stand at screen x 145..225 and 430..510.
    auto score = inkColumns(0, 92, 200, 123);
    auto best = inkColumns(201, 92, 396, 123);
    ASSERT_GE(score.first, 0);
    ASSERT_GE(best.first, 0);
    EXPECT_NEAR(150 + (score.first + score.second) / 2.0, 185.0, 12.0);
    EXPECT_NEAR(150 + (best.first + best.second) / 2.0, 470.0, 12.0);
    EXPECT_NEAR(best.first, 272, 16);
}

TEST_F(HudSheet, MenuWordsAreBracketedByTheMarkerTriangles) {
    // Menu region (0, 124) 100 x 110 copied to (290, 320): rows 124..230, columns 0..96.
    std::vector<std::pair<int, int>> bands;
    for (int y = 124; y <= 230; ++y) {
        bool any = inkIn(0, y, 96, y) > 0;
        if (any && (bands.empty() || bands.back().second != y - 1))
            bands.push_back({y, y});
        else if (any)
            bands.back().second = y;
    }
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_GE(bands[0].first, 129);
    // 37 apart; a round letter's overshoot may move a word's first ink row by one.
    EXPECT_NEAR(bands[1].first - bands[0].first, 37, 1);
    EXPECT_NEAR(bands[2].first - bands[1].first, 37, 1);
    EXPECT_EQ(inkIn(97, 124, 130, 236), 0);  // nothing the copy would cut off

    // Marker region (0, 240) 150 x 40 copied to (268, 329 + 37 s): columns 0..146, rows 240..276.
    auto markerRows = inkRows(0, 236, 149, 279);
    ASSERT_GE(markerRows.first, 240);
    EXPECT_LE(markerRows.second, 276);
    auto left = inkColumns(0, 240, 60, 276), right = inkColumns(61, 240, 146, 276);
    ASSERT_GE(left.first, 0);
    ASSERT_GE(right.first, 0);
    EXPECT_NEAR((right.first + right.second) / 2.0 - (left.first + left.second) / 2.0, 85.0, 4.0);
    Colour orange = sheet.at((left.first + left.second) / 2 + 2, (markerRows.first + markerRows.second) / 2);
    EXPECT_GT(orange.r, 200);
    EXPECT_GT(orange.r, orange.g + 40);
    EXPECT_LT(orange.b, 120);
    for (int s = 0; s < 3; ++s) {
        SCOPED_TRACE(s);
        double wordMiddle = 320 + (bands[s].first + bands[s].second) / 2.0 - 124;
        double markerMiddle = 329 + 37 * s + (markerRows.first + markerRows.second) / 2.0 - 240;
        EXPECT_NEAR(wordMiddle, markerMiddle, 2.0);
        auto word = inkColumns(0, bands[s].first, 96, bands[s].second);
        EXPECT_GT(290 + word.first, 268 + left.second);
        EXPECT_LT(290 + word.second, 268 + right.first);
        double wordCentre = 290 + (word.first + word.second) / 2.0;
        double markerCentre = 268 + (left.second + right.first) / 2.0;
        EXPECT_NEAR(wordCentre, markerCentre, 4.0);
    }
}

TEST_F(HudSheet, EverythingOutsideTheRegionsIsBlue) {
    struct Box {
        int x, y, w, h;
    };
    const Box regions[] = {{0, 0, 44, 44},   {45, 0, 44, 44},    {0, 43, 160, 24}, {0, 58, 160, 24},
                           {0, 92, 400, 40}, {0, 124, 100, 110}, {0, 240, 150, 40}};
    int stray = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            bool inside = false;
            for (const Box& r : regions) inside |= x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
            if (!inside) stray += ink(x, y);
        }
    EXPECT_EQ(stray, 0);
}

}  // namespace
}  // namespace vemol::resources::testing
