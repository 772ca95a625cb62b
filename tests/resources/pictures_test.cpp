// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the other pictures must hold for the screens they serve.
#include "resources/decode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace vemol::resources::testing {
namespace {

double luma(Colour c) { return (0.3 * c.r + 0.59 * c.g + 0.11 * c.b) / 255.0; }

// Connected groups (4-neighbour) of at least minSize pixels that satisfy the test.
template <class Test>
int countBlobs(const Picture& p, int x0, int y0, int x1, int y1, Test test, int minSize) {
    std::vector<bool> seen(std::size_t(p.width) * p.height);
    int blobs = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (seen[std::size_t(y) * p.width + x] || !test(p.at(x, y))) continue;
            int size = 0;
            std::vector<std::pair<int, int>> stack{{x, y}};
            seen[std::size_t(y) * p.width + x] = true;
            while (!stack.empty()) {
                auto [cx, cy] = stack.back();
                stack.pop_back();
                ++size;
                const std::pair<int, int> next[4] = {{cx + 1, cy}, {cx - 1, cy}, {cx, cy + 1}, {cx, cy - 1}};
                for (auto [nx, ny] : next) {
                    if (nx < x0 || ny < y0 || nx >= x1 || ny >= y1) continue;
                    std::size_t i = std::size_t(ny) * p.width + nx;
                    if (seen[i] || !test(p.at(nx, ny))) continue;
                    seen[i] = true;
                    stack.push_back({nx, ny});
                }
            }
            blobs += size >= minSize;
        }
    return blobs;
}

TEST(DiceSheet, EachCellShowsItsNumberOfPipsOnALightFace) {
    Picture sai = decodePicture(mustFind("BITMAP", "SAI"));
    for (int face = 0; face < 6; ++face) {
        SCOPED_TRACE(face + 1);
        const int x0 = 64 * (face % 4), y0 = 64 * (face / 4);
        // Inside the rim, away from the rounded corners.
        int pips = countBlobs(
            sai, x0 + 6, y0 + 6, x0 + 58, y0 + 58, [](Colour c) { return luma(c) < 0.45; }, 20);
        EXPECT_EQ(pips, face + 1);
        EXPECT_GT(luma(sai.at(x0 + 32, y0 + 8)), 0.8);
        if (face == 0) {
            EXPECT_GT(sai.at(32, 32).r, sai.at(32, 32).g + 100);  // the single pip is red
        }
    }
}

TEST(BlastPicture, IsAGreenCarryingRingFadingToBlackAtTheEdges) {
    Picture blast = decodePicture(mustFind("BITMAP", "BOMBA"));
    int brightGreen = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            Colour c = blast.at(x, y);
            bool edge = x < 2 || y < 2 || x > 125 || y > 125;
            if (edge) {
                EXPECT_LT(c.r + c.g + c.b, 12) << x << "," << y;
            }
            brightGreen += c.g > 180;
        }
    EXPECT_GT(brightGreen, 200);
    // A ring: brighter on the ring than at the centre.
    EXPECT_GT(blast.at(64 + 42, 64).g, blast.at(64, 64).g + 100);
}

TEST(PointPopups, ShowLightLetteringOnBlackWithNothingAtTheEdges) {
    for (int points = 10; points <= 60; points += 10) {
        const std::string name = "S" + std::to_string(points);
        SCOPED_TRACE(name);
        Picture p = decodePicture(mustFind("BITMAP", name));
        int light = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                Colour c = p.at(x, y);
                if (x == 0 || y == 0 || x == p.width - 1 || y == p.height - 1) {
                    EXPECT_LT(luma(c), 0.05);
                }
                light += luma(c) > 0.7;
            }
        EXPECT_GT(light, 40);
        // "+" and two digits: at least three separate light shapes.
        EXPECT_GE(countBlobs(
                      p, 0, 0, p.width, p.height, [](Colour c) { return luma(c) > 0.5; }, 4),
                  3);
    }
}

double meanLuma(const Picture& p, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) sum += luma(p.at(x, y));
    return sum / ((x1 - x0 + 1) * (y1 - y0 + 1));
}

TEST(Backdrops, LeaveDarkCalmGroundWhereTheHudWrites) {
    // Play board: the red digits land at screen (536..612, 150..164) and (.., 230..244),
    // texels u 345..394, v 102..113 and 156..166.
    Picture bg = decodePicture(mustFind("BITMAP", "BG"));
    EXPECT_LT(meanLuma(bg, 345, 102, 394, 113), 0.12);
    EXPECT_LT(meanLuma(bg, 345, 156, 394, 166), 0.12);
    // The labels stand just above them.
    EXPECT_GT(meanLuma(bg, 345, 84, 394, 98), meanLuma(bg, 345, 102, 394, 113) + 0.05);

    // Title: the yellow digits at screen (145..225, 366..380) and (430..510, ..), which
    // is texels u 107..167 and 318..378, v 285..296; the menu words and marker between.
    Picture title = decodePicture(mustFind("BITMAP", "OPENING"));
    EXPECT_LT(meanLuma(title, 107, 285, 167, 296), 0.12);
    EXPECT_LT(meanLuma(title, 318, 285, 378, 296), 0.12);
    EXPECT_LT(meanLuma(title, 200, 250, 300, 340), 0.12);
    // The upper part carries the title art: bright and varied.
    EXPECT_GT(meanLuma(title, 60, 30, 400, 140), 0.2);
}

}  // namespace
}  // namespace vemol::resources::testing
