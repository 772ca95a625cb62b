// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The new-game reset: what it puts back, what it leaves alone, and the backdrop it places.
#include "play_support.h"

namespace vemol::test {
namespace {

TEST_F(PlayTest, AResetClearsTheLastGameButKeepsTheRecords) {
    // Leave a game in a messy state: a die rolled, shots and dice in flight, points.
    Roll(Key::Left);
    h.keys.press(Key::Space);
    h.frames(200);
    h.keys.release(Key::Space);
    g.score = 230;
    g.bestScore = 900;
    g.sessionBestScore = 400;
    g.endCountdown = 7;
    g.blasts[2].live = g.scorePopups[5].live = 1;
    g.columnGauge[4][9] = 0;
    const int keptFace = g.fallingDice[0].face;
    ASSERT_GT(LiveCount(g.fallingDice), 0);

    ResetWorld(g);
    const float now = h.clock.t;
    EXPECT_FLOAT_EQ(g.player.x, -1.85f);
    EXPECT_FLOAT_EQ(g.player.z, -15.3f);
    EXPECT_EQ(g.player.topFace, 1);
    const gfx::QuadVertex* v = g.playerDieMesh->lockVertices();
    EXPECT_EQ(v[4].diffuse, 0x01FFFFFFu);   // +y carries 1
    EXPECT_EQ(v[12].diffuse, 0x06FFFFFFu);  // -y carries 6
    EXPECT_EQ(v[2].u, 0.25f);               // -x shows 5: cell (0, 0.25)
    EXPECT_EQ(v[2].v, 0.5f);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(g.fallingDice[i].live, 0);
        EXPECT_EQ(g.fallingDice[i].spawnTime, now + 5.0f * static_cast<float>(i));
    }
    EXPECT_EQ(g.fallingDice[0].face, keptFace) << "faces are drawn afresh at spawn";
    EXPECT_EQ(LiveCount(g.shots) + LiveCount(g.blasts) + LiveCount(g.scorePopups), 0);
    EXPECT_EQ(g.columnGauge[4][9], -1);
    EXPECT_EQ(g.score, 0);
    EXPECT_EQ(g.playing, 1);
    EXPECT_EQ(g.bestScore, 900);
    EXPECT_EQ(g.sessionBestScore, 400);
    EXPECT_EQ(g.endCountdown, 7);
}

TEST_F(PlayTest, ARollCutShortByTheEndOfAGameDoesNotMoveTheNextGamesDie) {
    h.keys.press(Key::Down);
    h.frame();
    h.keys.release(Key::Down);
    ASSERT_EQ(g.player.rollDir, 3);
    const int selects = h.sound.count(Segment::Select);
    ResetWorld(g);
    h.frames(15);
    EXPECT_FLOAT_EQ(g.player.z, -15.3f);
    EXPECT_EQ(g.player.topFace, 1);
    EXPECT_EQ(h.sound.count(Segment::Select), selects);
}

TEST_F(PlayTest, PlayShowsTheBackdropFlatAtItsPlayPlace) {
    h.frame();
    const gfx::Matrix& w = g.backdrop.world;
    EXPECT_EQ(w.m[3][0], 7.0f);
    EXPECT_EQ(w.m[3][1], 0.0f);
    EXPECT_EQ(w.m[3][2], -14.0f);
    EXPECT_EQ(w.m[1][1], 1.0f) << "the transition's tilt is gone";
    EXPECT_EQ(w.m[2][2], 1.0f);
}

}  // namespace
}  // namespace vemol::test
