// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Column gauges: how landings claim cells, how the HUD pass counts them down, and when a
// full column ends the game.
#include <gtest/gtest.h>

#include "game/operations.h"
#include "game/passes.h"
#include "support/harness.h"

namespace vemol {
namespace {

class GaugeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.deviceObjectsMade);
        g.playing = 1;
        g.endCountdown = -1;
        ClearColumnGauges(g);
    }
    void Fill(int column, int from, int to) {
        for (int k = from; k <= to; ++k) g.columnGauge[column][k] = 0;
    }
    // One HUD pass (the gauges count down inside it); true when it ended the game.
    bool HudPassEndsGame() {
        DrawHud(g);
        return g.endCountdown != -1;
    }
    int PassesUntilTheEnd(int limit) {
        for (int pass = 1; pass <= limit; ++pass)
            if (HudPassEndsGame()) return pass;
        return 0;
    }

    test::Harness h;
    GameState& g = h.g;
};

TEST_F(GaugeTest, ALandingClaimsOneCellPerPipFromTheTop) {
    AddToColumnGauge(g, 3, 2);  // a 3-pip die
    const int expected[10] = {-1, -1, -1, -1, -1, -1, -1, 30, 20, 10};
    for (int k = 0; k < 10; ++k) EXPECT_EQ(g.columnGauge[3][k], expected[k]) << k;
    for (int column = 0; column < 12; ++column) {
        if (column == 3) continue;
        EXPECT_EQ(g.columnGauge[column][9], -1);
    }

    // A second landing before the first shows claims the cells above it.
    DrawHud(g);
    AddToColumnGauge(g, 3, 1);
    EXPECT_EQ(g.columnGauge[3][9], 9);
    EXPECT_EQ(g.columnGauge[3][7], 29);
    EXPECT_EQ(g.columnGauge[3][6], 10);
    EXPECT_EQ(g.columnGauge[3][5], 20);
    EXPECT_EQ(g.columnGauge[3][4], -1);
}

TEST_F(GaugeTest, PipsBeyondCellZeroAreLostAndAFullColumnTakesNothing) {
    Fill(5, 5, 9);
    AddToColumnGauge(g, 5, 5);  // six pips, five free cells
    const int expected[10] = {50, 40, 30, 20, 10, 0, 0, 0, 0, 0};
    for (int k = 0; k < 10; ++k) EXPECT_EQ(g.columnGauge[5][k], expected[k]) << k;

    AddToColumnGauge(g, 5, 0);  // every cell claimed: nothing changes
    for (int k = 0; k < 10; ++k) EXPECT_EQ(g.columnGauge[5][k], expected[k]) << k;
    Fill(6, 0, 9);
    AddToColumnGauge(g, 6, 5);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(g.columnGauge[6][k], 0);
}

TEST_F(GaugeTest, TheLastCellEndsTheGameWhenItShows) {
    // Cells 9 to 1 full, a 1-pip die lands after this frame's HUD pass: cell 0 counts
    // down through the next ten passes and ends the game in the eleventh.
    Fill(0, 1, 9);
    AddToColumnGauge(g, 0, 0);
    EXPECT_EQ(PassesUntilTheEnd(20), 11);
    EXPECT_EQ(g.endCountdown, 10);
    EXPECT_EQ(g.endPause, 1);
    ASSERT_NE(g.captureTexture, nullptr);
    EXPECT_EQ(g.shatterTiles[191].live, 1);
}

TEST_F(GaugeTest, ASixPipDieOnFiveFreeCellsEndsTheGameInTheFiftyFirstPass) {
    Fill(11, 5, 9);
    AddToColumnGauge(g, 11, 5);
    EXPECT_EQ(PassesUntilTheEnd(60), 51);
    EXPECT_EQ(g.endPause, 1);
}

TEST_F(GaugeTest, AFullCellZeroStartsNothingOnceTheGameIsEnding) {
    Fill(2, 0, 9);
    g.endCountdown = 4;
    DrawHud(g);
    EXPECT_EQ(g.endCountdown, 4);
    EXPECT_EQ(g.endPause, 0);
    EXPECT_EQ(g.captureTexture, nullptr);

    // While the game runs, a full cell other than 0 is drawn but ends nothing.
    g.endCountdown = -1;
    g.columnGauge[2][0] = kEmptyGaugeCell;
    EXPECT_FALSE(HudPassEndsGame());
    g.columnGauge[2][0] = 0;
    EXPECT_TRUE(HudPassEndsGame());
    EXPECT_EQ(g.endCountdown, 10);
    EXPECT_EQ(g.endPause, 1);

    g.columnGauge[7][4] = 2;
    EXPECT_FALSE(CountDownGaugeCell(g, 7, 4));
    EXPECT_FALSE(CountDownGaugeCell(g, 7, 4));
    EXPECT_TRUE(CountDownGaugeCell(g, 7, 4));
    EXPECT_FALSE(CountDownGaugeCell(g, 7, 3));  // empty
}

// The same rules inside whole play frames: the landing happens in the falling-dice pass,
// after that frame's HUD.
TEST(GaugeInPlay, ALandingDieOnAnAlmostFullColumnEndsTheGameElevenFramesLater) {
    test::Harness h;
    ASSERT_TRUE(h.deviceObjectsMade);
    h.startGame();
    h.frame();
    for (int k = 1; k < 10; ++k) h.g.columnGauge[4][k] = 0;
    ObjectRecord& die = h.g.fallingDice[29];  // a slot that spawns only much later
    die.live = 1;
    die.collected = 0;
    die.column = 4;
    die.face = 0;
    die.x = 3.46f * 4 - 22.7f;
    die.z = -14.99f;
    die.lastMoveTime = h.clock.t;
    die.spawnTime = h.clock.t;

    h.frame();  // the die lands
    ASSERT_EQ(die.live, 0);
    EXPECT_EQ(h.g.columnGauge[4][0], 10);
    for (int n = 1; n <= 10; ++n) {
        h.frame();
        ASSERT_EQ(h.g.endCountdown, -1) << "frame " << n;
    }
    h.frame();
    EXPECT_EQ(h.g.endCountdown, 9);  // the countdown already ran in this frame
    EXPECT_EQ(h.g.endPause, 1);
}

}  // namespace
}  // namespace vemol
