// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Shots and hits, and the motion and end of blasts and point pop-ups.
#include "play_support.h"

namespace vemol::test {
namespace {

ObjectRecord& PutShot(GameState& g, int slot, float x, float z, int face) {
    ObjectRecord& shot = g.shots[slot];
    shot.live = 1;
    shot.x = x;
    shot.y = 4.0f;
    shot.z = z;
    shot.face = face;
    shot.spawnTime = g.now();
    shot.lastMoveTime = g.now();
    return shot;
}

TEST_F(PlayTest, AShotHitsOnlyUncollectedDiceOfItsFaceWithinHalfAUnit) {
    HoldBackFallingDice(g);
    ObjectRecord& shot = PutShot(g, 0, 5.0f, 3.0f, 2);
    ObjectRecord& sameA = PutDie(g, 0, 5.45f, 3.0f, 2);
    ObjectRecord& other = PutDie(g, 1, 5.0f, 3.0f, 4);
    ObjectRecord& taken = PutDie(g, 2, 5.0f, 3.0f, 2);
    taken.collected = 1;
    ObjectRecord& sameB = PutDie(g, 3, 5.0f, 2.55f, 2);
    ObjectRecord& edge = PutDie(g, 4, 5.5f, 3.0f, 2);  // exactly 0.5 away: outside

    TestShotHits(g, shot);
    EXPECT_EQ(shot.live, 0);
    EXPECT_EQ(sameA.collected, 1);
    EXPECT_EQ(sameB.collected, 1) << "one shot takes every overlapping die of its face";
    EXPECT_EQ(other.collected, 0);
    EXPECT_EQ(edge.collected, 0);
    EXPECT_EQ(h.sound.count(Segment::Hit), 2);
    EXPECT_EQ(g.score, 0);
    // A blast where the shot was for each hit, a pop-up at each die with its face.
    ASSERT_EQ(LiveCount(g.blasts), 2);
    EXPECT_EQ(g.blasts[1].x, 5.0f);
    EXPECT_EQ(g.blasts[1].z, 3.0f);
    EXPECT_EQ(g.blasts[1].animA, 1.0f);
    ASSERT_EQ(LiveCount(g.scorePopups), 2);
    EXPECT_EQ(g.scorePopups[0].x, 5.45f);
    EXPECT_EQ(g.scorePopups[1].z, 2.55f);
    EXPECT_EQ(g.scorePopups[1].face, 2);
    EXPECT_EQ(g.scorePopups[1].animA, -0.5f);
    EXPECT_EQ(g.scorePopups[1].animB, -0.1f);

    // The collected dice are never hit again.
    ObjectRecord& second = PutShot(g, 1, 5.0f, 3.0f, 2);
    TestShotHits(g, second);
    EXPECT_EQ(second.live, 1);
    EXPECT_EQ(h.sound.count(Segment::Hit), 2);
}

TEST_F(PlayTest, AFiredShotKnocksOutTheMatchingDieComingDownItsColumn) {
    HoldBackFallingDice(g);
    ObjectRecord& wrong = PutDie(g, 0, -1.85f, 0.0f, 3);
    ObjectRecord& right = PutDie(g, 1, -1.85f, 6.0f, 0);  // the player shows 1: face 0
    h.keys.tap(Key::Space);
    h.frame();
    ASSERT_EQ(LiveCount(g.shots), 1);
    EXPECT_EQ(g.shots[0].face, 0);
    int frames = 0;
    while (g.shots[0].live && frames < 120) {
        h.frame();
        ++frames;
    }
    EXPECT_EQ(wrong.collected, 0) << "a different face lets the shot through";
    EXPECT_EQ(right.collected, 1);
    EXPECT_EQ(LiveCount(g.blasts), 1);
    EXPECT_EQ(LiveCount(g.scorePopups), 1);
    EXPECT_EQ(g.score, 0);
}

TEST_F(PlayTest, AShotKeepsItsFaceWhileThePlayerRolls) {
    HoldBackFallingDice(g);
    h.keys.tap(Key::Space);
    h.frame();
    ASSERT_EQ(g.shots[0].live, 1);
    const gfx::QuadVertex before = g.shots[0].mesh->lockVertices()[0];
    Roll(Key::Left);
    EXPECT_EQ(g.player.topFace, 2);
    EXPECT_EQ(g.shots[0].face, 0);
    EXPECT_EQ(g.shots[0].mesh->lockVertices()[0].u, before.u);
    EXPECT_FLOAT_EQ(g.shots[0].x, -1.85f);
}

TEST_F(PlayTest, AShotFliesUpTheBoardAndLeavesPastThirty) {
    HoldBackFallingDice(g);
    h.keys.tap(Key::Space);
    h.frame();
    const float fired = h.clock.t;
    ObjectRecord& shot = g.shots[0];
    h.frame();
    EXPECT_NEAR(shot.z, -15.3f + 24.0f * kFrame, 1e-4f);
    EXPECT_FLOAT_EQ(shot.world.m[3][1], 4.0f);
    EXPECT_FLOAT_EQ(shot.spin, 8.0f * (h.clock.t - fired));
    while (shot.live && h.clock.t < fired + 5.0f) h.frame();
    EXPECT_GT(shot.z, 30.0f);
    EXPECT_NEAR(h.clock.t - fired, 45.3f / 24.0f, kFrame + 1e-3f);  // about 1.9 s
}

TEST_F(PlayTest, ABlastEndsOnItsTenthFrame) {
    ObjectRecord source;
    source.x = 2.0f;
    source.z = -3.0f;
    SpawnBlast(g, source);
    ObjectRecord& blast = g.blasts[0];
    const gfx::Matrix identity = gfx::MatrixIdentity();
    for (int frame = 1; frame <= 10; ++frame) {
        EXPECT_EQ(blast.live, 1) << "frame " << frame;
        DrawBlasts(g, identity);
    }
    EXPECT_EQ(blast.live, 0);
    EXPECT_NEAR(blast.world.m[0][0], 3.0f, 1e-5f);
    EXPECT_NEAR(blast.world.m[2][2], 2.0f, 1e-5f);
    EXPECT_EQ(blast.world.m[3][0], 2.0f);
    EXPECT_EQ(blast.world.m[3][2], -3.0f);
    EXPECT_FALSE(g.device->renderState().blendEnable);
}

TEST_F(PlayTest, APopUpDipsThenClimbsAndLeavesPastTwentyFive) {
    ObjectRecord source;
    source.x = 0.0f;
    source.z = -15.0f;
    source.face = 4;
    SpawnScorePopup(g, source);
    ObjectRecord& popup = g.scorePopups[0];
    const gfx::Matrix identity = gfx::MatrixIdentity();
    DrawScorePopups(g, identity);
    EXPECT_FLOAT_EQ(popup.z, -15.47f);
    EXPECT_FLOAT_EQ(popup.x, -0.1f);
    float lowest = popup.z;
    int frames = 1;
    while (popup.live && frames < 200) {
        DrawScorePopups(g, identity);
        lowest = std::min(lowest, popup.z);
        ++frames;
    }
    EXPECT_GT(popup.z, 25.0f);
    EXPECT_LT(lowest, -18.5f);  // dips about 4 units before it turns
    EXPECT_GE(frames, 65);
    EXPECT_LE(frames, 75);
    // The screen blend leaves blending off with both factors at one.
    EXPECT_FALSE(g.device->renderState().blendEnable);
    EXPECT_EQ(g.device->renderState().srcBlend, gfx::Blend::One);
    EXPECT_EQ(g.device->renderState().destBlend, gfx::Blend::One);
}

TEST_F(PlayTest, FullEffectPoolsDropOnlyTheEffect) {
    HoldBackFallingDice(g);
    for (ObjectRecord& b : g.blasts) {
        b.live = 1;
        b.x = -9.0f;
    }
    for (ObjectRecord& p : g.scorePopups) {
        p.live = 1;
        p.x = -9.0f;
    }
    ObjectRecord& die = PutDie(g, 0, 1.0f, 1.0f, 1);
    ObjectRecord& shot = PutShot(g, 0, 1.0f, 1.0f, 1);
    TestShotHits(g, shot);
    EXPECT_EQ(die.collected, 1);
    EXPECT_EQ(shot.live, 0);
    for (const ObjectRecord& b : g.blasts) EXPECT_EQ(b.x, -9.0f);
    for (const ObjectRecord& p : g.scorePopups) EXPECT_EQ(p.x, -9.0f);
}

}  // namespace
}  // namespace vemol::test
