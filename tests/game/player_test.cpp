// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The player's die: roll bounds, the faces turning with the rolls, the roll motion and
// the shot key's timing.
#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <utility>

#include "play_support.h"

namespace vemol::test {
namespace {

using Vertices = std::array<gfx::QuadVertex, 24>;

Vertices Snapshot(GameState& g) {
    Vertices v;
    std::copy_n(g.playerDieMesh->lockVertices(), 24, v.begin());
    return v;
}

bool SameFaces(const Vertices& a, const Vertices& b) {
    for (int n = 0; n < 24; ++n)
        if (a[n].diffuse != b[n].diffuse || a[n].u != b[n].u || a[n].v != b[n].v) return false;
    return true;
}

int FaceOfGroup(const Vertices& v, int group) { return static_cast<int>(v[4 * group].diffuse >> 24); }

// Every group shows one face, whole: one number on its four corners, the four corners of
// that number's picture cell, the six numbers all present, opposite sides adding to 7,
// positions and normals untouched, and topFace naming the +y group.
void ExpectSoundDie(GameState& g, const Vertices& reset) {
    const Vertices v = Snapshot(g);
    std::set<int> faces;
    for (int group = 0; group < 6; ++group) {
        const int face = FaceOfGroup(v, group);
        faces.insert(face);
        const float u0 = static_cast<float>((face - 1) % 4) * 0.25f;
        const float v0 = static_cast<float>((face - 1) / 4) * 0.25f;
        std::set<std::pair<float, float>> corners,
            cell = {{u0, v0}, {u0 + 0.25f, v0}, {u0 + 0.25f, v0 + 0.25f}, {u0, v0 + 0.25f}};
        for (int c = 0; c < 4; ++c) {
            const gfx::QuadVertex& x = v[4 * group + c];
            EXPECT_EQ(x.diffuse, (static_cast<std::uint32_t>(face) << 24) | 0xFFFFFFu);
            EXPECT_EQ(x.x, reset[4 * group + c].x);
            EXPECT_EQ(x.nz, reset[4 * group + c].nz);
            corners.insert({x.u, x.v});
        }
        EXPECT_EQ(corners, cell) << "group " << group;
    }
    EXPECT_EQ(faces.size(), 6u);
    EXPECT_EQ(FaceOfGroup(v, 0) + FaceOfGroup(v, 2), 7);
    EXPECT_EQ(FaceOfGroup(v, 1) + FaceOfGroup(v, 3), 7);
    EXPECT_EQ(FaceOfGroup(v, 4) + FaceOfGroup(v, 5), 7);
    EXPECT_EQ(g.player.topFace, FaceOfGroup(v, 1));
}

TEST_F(PlayTest, RollsStopAtTheEdgesOfTheStrip) {
    for (int i = 0; i < 6; ++i) Roll(Key::Left);
    EXPECT_NEAR(g.player.x, -22.55f, 1e-4f);
    Roll(Key::Left);
    EXPECT_NEAR(g.player.x, -22.55f, 1e-4f);
    EXPECT_EQ(g.player.rollDir, 0);

    for (int i = 0; i < 11; ++i) Roll(Key::Right);
    EXPECT_NEAR(g.player.x, 15.4f, 1e-4f);
    Roll(Key::Right);
    EXPECT_NEAR(g.player.x, 15.4f, 1e-4f);

    Roll(Key::Up);
    EXPECT_FLOAT_EQ(g.player.z, -15.3f);
    Roll(Key::Down);
    EXPECT_NEAR(g.player.z, -18.75f, 1e-4f);
    Roll(Key::Down);
    EXPECT_NEAR(g.player.z, -18.75f, 1e-4f);
    Roll(Key::Up);
    EXPECT_NEAR(g.player.z, -15.3f, 1e-4f);
}

TEST_F(PlayTest, AKeyHeldAtItsBoundLetsTheNextKeyThrough) {
    for (int i = 0; i < 6; ++i) Roll(Key::Left);
    h.keys.press(Key::Left);
    h.keys.press(Key::Down);
    h.frame();
    EXPECT_EQ(g.player.rollDir, 3);
}

TEST_F(PlayTest, OneRollEachWayFromAResetPutsTheRightFaceOnTop) {
    const std::pair<Key, int> cases[] = {{Key::Left, 2}, {Key::Right, 5}, {Key::Down, 4}};
    for (auto [arrow, top] : cases) {
        ResetWorld(g);
        Roll(arrow);
        EXPECT_EQ(g.player.topFace, top);
        EXPECT_EQ(FaceOfGroup(Snapshot(g), 1), top);
    }
    // Toward +z needs the die on the back row.
    ResetWorld(g);
    g.player.z = -18.75f;
    Roll(Key::Up);
    EXPECT_EQ(g.player.topFace, 3);
}

TEST_F(PlayTest, FourRollsOneWayOrARollAndItsOppositeRestoreEveryVertex) {
    ResetWorld(g);
    const Vertices reset = Snapshot(g);
    using RollFn = void (*)(GameState&, int);
    const std::pair<RollFn, int> rolls[] = {{RollDieX, 1}, {RollDieX, -1}, {RollDieZ, 1}, {RollDieZ, -1}};
    for (auto [roll, dir] : rolls) {
        for (int i = 0; i < 4; ++i) {
            roll(g, dir);
            if (i < 3) {
                EXPECT_FALSE(SameFaces(Snapshot(g), reset));
            }
        }
        EXPECT_TRUE(SameFaces(Snapshot(g), reset));
        roll(g, dir);
        roll(g, -dir);
        EXPECT_TRUE(SameFaces(Snapshot(g), reset));
        EXPECT_EQ(g.player.topFace, 1);
    }
}

TEST_F(PlayTest, AnySequenceOfRollsKeepsADieWhole) {
    ResetWorld(g);
    const Vertices reset = Snapshot(g);
    Random pick;
    pick.srand(7);
    for (int i = 0; i < 300; ++i) {
        const int r = pick.rand() % 4;
        if (r < 2)
            RollDieX(g, r == 0 ? 1 : -1);
        else
            RollDieZ(g, r == 2 ? 1 : -1);
        ExpectSoundDie(g, reset);
        if (HasFailure()) return;
    }
}

TEST_F(PlayTest, ARollSlidesAndTurnsThenSnapsToTheNextCell) {
    const int selects = h.sound.count(Segment::Select);
    h.keys.press(Key::Left);
    h.frame();  // the roll starts: e = 0
    h.keys.release(Key::Left);
    EXPECT_EQ(g.player.rollDir, 1);
    h.frame();
    const float e = g.player.frameTime - g.player.rollStart;
    const gfx::Matrix& shown = g.player.world;  // what the die was drawn with
    EXPECT_FLOAT_EQ(shown.m[3][0], -1.85f - 20.0f * e);
    EXPECT_FLOAT_EQ(shown.m[3][1], 2.0f);
    EXPECT_FLOAT_EQ(shown.m[3][2], -15.3f);
    EXPECT_FLOAT_EQ(shown.m[0][1], std::sin(10.0f * e));  // turning about z
    EXPECT_FLOAT_EQ(g.player.x, -1.85f);

    // Nine more frames of 1/60 s reach e = 0.1667 > 0.157: the roll completes.
    int frames = 0;
    while (g.player.rollDir != 0 && frames < 30) {
        h.frame();
        ++frames;
    }
    EXPECT_EQ(frames, 9);
    EXPECT_FLOAT_EQ(g.player.x, -1.85f - 3.45f);
    EXPECT_FLOAT_EQ(g.player.world.m[3][0], -1.85f - 3.45f);
    EXPECT_FLOAT_EQ(g.player.world.m[0][0], 1.0f);  // unrotated again
    EXPECT_EQ(h.sound.count(Segment::Select), selects + 1);
}

TEST_F(PlayTest, DuringARollNoOtherArrowIsTaken) {
    h.keys.press(Key::Left);
    h.frame();
    h.keys.release(Key::Left);
    h.keys.press(Key::Down);
    for (int i = 0; i < 5; ++i) {
        h.frame();
        EXPECT_EQ(g.player.rollDir, 1);
    }
    h.keys.release(Key::Down);
    for (int i = 0; i < 10; ++i) h.frame();
    EXPECT_FLOAT_EQ(g.player.z, -15.3f);
    EXPECT_FLOAT_EQ(g.player.x, -1.85f - 3.45f);
}

// Runs frames with space held and records when each shot was fired.
std::vector<float> FireTimes(PlayTest& t, int frames) {
    std::vector<float> times;
    t.h.keys.press(Key::Space);
    for (int i = 0; i < frames; ++i) {
        t.h.frame();
        for (const ObjectRecord& shot : t.g.shots)
            if (shot.live && shot.spawnTime == t.h.clock.t) times.push_back(t.h.clock.t);
    }
    t.h.keys.release(Key::Space);
    return times;
}

TEST_F(PlayTest, HoldingSpaceFiresEveryHalfSecond) {
    HoldBackFallingDice(g);
    const std::vector<float> times = FireTimes(*this, 150);
    ASSERT_EQ(times.size(), 5u);
    for (size_t i = 1; i < times.size(); ++i) {
        EXPECT_GT(times[i] - times[i - 1], 0.5f - 1e-4f);
        EXPECT_LT(times[i] - times[i - 1], 0.5f + kFrame + 1e-4f);
    }
}

TEST_F(PlayTest, ARollStartedInTheSameFrameBlocksTheShot) {
    HoldBackFallingDice(g);
    h.keys.press(Key::Right);
    h.keys.press(Key::Space);
    h.frame();
    h.keys.release(Key::Right);
    EXPECT_EQ(g.player.rollDir, 2);
    EXPECT_EQ(LiveCount(g.shots), 0);
    for (int i = 0; i < 5; ++i) h.frame();
    EXPECT_EQ(LiveCount(g.shots), 0) << "no shot while the die rolls";
    while (g.player.rollDir != 0) h.frame();
    h.frame();
    ASSERT_EQ(LiveCount(g.shots), 1);
    EXPECT_FLOAT_EQ(g.shots[0].x, -1.85f + 3.45f);
}

TEST_F(PlayTest, TenShotsInTheAirBlockFiringAndKeepTheTimer) {
    HoldBackFallingDice(g);
    for (ObjectRecord& shot : g.shots) {
        shot.live = 1;
        shot.x = 100.0f;
        shot.z = -10.0f;
        shot.lastMoveTime = g.now();
    }
    const float timer = g.player.nextShotTime;
    h.keys.press(Key::Space);
    h.frame();
    EXPECT_EQ(g.player.nextShotTime, timer);
    g.shots[3].live = 0;
    h.frame();
    EXPECT_EQ(g.shots[3].live, 1);
    EXPECT_FLOAT_EQ(g.shots[3].x, -1.85f);
    EXPECT_FLOAT_EQ(g.player.nextShotTime, h.clock.t + 0.5f);
}

TEST_F(PlayTest, ATapOfSpaceBetweenFramesStillFires) {
    HoldBackFallingDice(g);
    h.keys.tap(Key::Space);
    h.frame();
    EXPECT_EQ(LiveCount(g.shots), 1);
    EXPECT_EQ(g.shots[0].face, 0);
}

// The shot timer and a running roll are tested before the space bar is asked, so a tap
// while either holds the shot back is still latched when the bar is finally asked.
TEST_F(PlayTest, ASpaceTapDuringARollOrTheShotWaitFiresOnceAllowed) {
    HoldBackFallingDice(g);
    h.keys.press(Key::Left);
    h.frame();
    h.keys.release(Key::Left);
    h.keys.tap(Key::Space);
    while (g.player.rollDir != 0) h.frame();
    EXPECT_EQ(LiveCount(g.shots), 0) << "no shot while the die rolls";
    h.frame();
    ASSERT_EQ(LiveCount(g.shots), 1) << "the tap made during the roll fires after it";

    const float allowed = g.player.nextShotTime;
    h.frame();
    h.keys.tap(Key::Space);
    while (LiveCount(g.shots) == 1 && h.clock.t < allowed + 1.0f) h.frame();
    EXPECT_EQ(LiveCount(g.shots), 2) << "the tap made during the wait fires once it is up";
    EXPECT_GT(h.clock.t, allowed);
    EXPECT_LT(h.clock.t, allowed + kFrame + 1e-4f);
}

// With every arrow held the roll goes Left, then Right, then Down or Up (of the two rows
// the die sits on, only one lets each of these through).
TEST_F(PlayTest, RollKeysTakeLeftThenRightThenDownThenUp) {
    HoldBackFallingDice(g);
    const Key order[] = {Key::Left, Key::Right, Key::Down};
    const int direction[] = {1, 2, 3};
    for (int first = 0; first < 3; ++first) {
        for (int k = first; k < 3; ++k) h.keys.press(order[k]);
        h.keys.press(Key::Up);
        h.frame();
        h.keys.releaseAll();
        EXPECT_EQ(g.player.rollDir, direction[first]) << "held from key " << first << " on";
        while (g.player.rollDir != 0) h.frame();
    }
    // Now on the near row, where Down stops at its bound: Up is the one left.
    h.keys.press(Key::Up);
    h.frame();
    h.keys.release(Key::Up);
    EXPECT_EQ(g.player.rollDir, 4);
}

}  // namespace
}  // namespace vemol::test
