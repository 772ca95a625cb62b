// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Falling dice: spawning, the slide to the player's line, landing, and the homing flight
// of a knocked-out die to the score point.
#include <cmath>

#include "play_support.h"

namespace vemol::test {
namespace {

TEST_F(PlayTest, ASpawnDrawsTheFaceThenTheColumn) {
    HoldBackFallingDice(g);
    g.random.srand(12345);
    Random expected;
    expected.srand(12345);
    const int face = expected.rand() % 6;
    const int column = expected.rand() % 12;

    ObjectRecord& die = g.fallingDice[4];
    die.spawnTime = 3.0f;
    SpawnFallingDie(g, die);
    EXPECT_EQ(die.live, 1);
    EXPECT_EQ(die.face, face);
    EXPECT_EQ(die.column, column);
    EXPECT_EQ(die.x, 3.46f * static_cast<float>(column) - 22.7f);
    EXPECT_EQ(die.z, 25.0f);
    EXPECT_EQ(die.heading, 4.71f);
    EXPECT_EQ(die.speed, 0.02f);
    EXPECT_EQ(die.lastMoveTime, h.clock.t);
    EXPECT_EQ(die.spawnTime, 3.0f) << "a spawn keeps the time that scheduled it";
    // The picture is the face's cell of the SAI grid: column face % 4, row face / 4.
    const gfx::QuadVertex* v = die.mesh->lockVertices();
    const float u = static_cast<float>(face % 4) * 0.25f, t = static_cast<float>(face / 4) * 0.25f;
    EXPECT_EQ(v[0].u, u + 0.25f);
    EXPECT_EQ(v[0].v, t + 0.25f);
    EXPECT_EQ(v[1].u, u + 0.25f);
    EXPECT_EQ(v[1].v, t);
    EXPECT_EQ(v[2].u, u);
    EXPECT_EQ(v[2].v, t + 0.25f);
    EXPECT_EQ(v[3].u, u);
    EXPECT_EQ(v[3].v, t);
}

TEST_F(PlayTest, SlotsJoinOnePerFiveSeconds) {
    // startGame reset the world at this time; slot 0 was due at once.
    const float reset = h.clock.t;
    h.frame(0.1f);
    EXPECT_EQ(g.fallingDice[0].live, 1);
    EXPECT_EQ(LiveCount(g.fallingDice), 1);
    for (int slot = 1; slot <= 4; ++slot) {
        while (g.fallingDice[slot].live == 0 && h.clock.t < 60.0f) h.frame(0.1f);
        EXPECT_GT(h.clock.t, reset + 5.0f * slot);
        EXPECT_LE(h.clock.t, reset + 5.0f * slot + 0.1001f);
        // Slot 0 lands after 13.3 s, so up to slot 2 every slot so far is on the board.
        if (slot <= 2) {
            EXPECT_EQ(LiveCount(g.fallingDice), slot + 1);
        }
    }
}

TEST_F(PlayTest, ADieLandsAfterFortyThirdsSecondsAndComesBackTenSecondsLater) {
    // Only slot 0 runs: it spawned on the first play frame.
    h.frame();
    ObjectRecord& die = g.fallingDice[0];
    ASSERT_EQ(die.live, 1);
    for (int i = 1; i < 30; ++i) g.fallingDice[i].spawnTime = 1.0e6f;
    const float spawned = die.lastMoveTime;
    const int column = die.column, face = die.face;
    const float x = die.x;

    while (die.live && h.clock.t < 30.0f) {
        h.frame();
        if (die.live) {
            EXPECT_NEAR(die.z, 25.0f - 3.0f * (h.clock.t - spawned), 1e-3f);
        }
    }
    const float landed = h.clock.t;
    EXPECT_GT(landed - spawned, 40.0f / 3.0f);
    EXPECT_LE(landed - spawned, 40.0f / 3.0f + kFrame + 1e-3f);
    EXPECT_EQ(die.z, -30.0f);
    EXPECT_EQ(die.spawnTime, landed + 10.0f);
    // Its blast where it landed, and its pips claimed on its column's gauge.
    ASSERT_EQ(g.blasts[0].live, 1);
    EXPECT_EQ(g.blasts[0].x, x);
    EXPECT_LT(g.blasts[0].z, -15.0f);
    EXPECT_GT(g.blasts[0].z, -15.1f);
    for (int j = 0; j <= face; ++j) EXPECT_EQ(g.columnGauge[column][9 - j], 10 * (j + 1));
    EXPECT_EQ(g.columnGauge[column][8 - face], -1);

    while (!die.live && h.clock.t < 60.0f) h.frame();
    EXPECT_GT(h.clock.t, landed + 10.0f);
    EXPECT_LE(h.clock.t, landed + 10.0f + kFrame + 1e-3f);
    EXPECT_FLOAT_EQ(die.z, 25.0f);
}

TEST_F(PlayTest, ADieLandingOnAFullColumnStillFreesItsSlot) {
    HoldBackFallingDice(g);
    // Every cell of column 3 claimed but not yet shown, so the game does not end here.
    for (int cell = 0; cell < 10; ++cell) g.columnGauge[3][cell] = 1000;
    ObjectRecord& die = PutDie(g, 0, 3.46f * 3 - 22.7f, -14.99f, 5);
    die.column = 3;
    h.frame();
    EXPECT_EQ(die.live, 0);
    EXPECT_EQ(LiveCount(g.blasts), 1);
    EXPECT_EQ(die.spawnTime, die.lastMoveTime + 10.0f);
    EXPECT_EQ(g.columnGauge[3][9], 999) << "a full column takes no more pips";
}

TEST_F(PlayTest, ACollectedDieHomesInAndPaysOnArrival) {
    HoldBackFallingDice(g);
    ObjectRecord& die = PutDie(g, 2, -1.85f, 0.0f, 3);
    die.collected = 1;

    // The first steps: it carries on toward -z, turning left (toward the score point),
    // ever faster.
    float x = die.x, z = die.z;
    const float steps[] = {0.02f, 0.12f, 0.22f};
    for (float step : steps) {
        const float heading = die.heading;
        h.frame();
        EXPECT_NEAR(die.heading, heading + 0.0942f, 1e-5f);
        EXPECT_NEAR(std::hypot(die.x - x, die.z - z), step, 1e-5f);
        EXPECT_LT(die.z, z);
        EXPECT_GT(die.x, x);
        x = die.x;
        z = die.z;
    }
    EXPECT_EQ(g.score, 0) << "points are paid on arrival, not on the hit";

    int frames = 3;
    while (die.live && frames < 200) {
        h.frame();
        ++frames;
    }
    ASSERT_EQ(die.live, 0);
    EXPECT_EQ(die.collected, 0);
    EXPECT_EQ(g.score, 40);
    EXPECT_EQ(h.sound.count(Segment::Hit), 1);
    EXPECT_EQ(die.spawnTime, h.clock.t + 30.0f);
}

TEST_F(PlayTest, ArrivalComesByDistanceBeforeTheStepOrByXPast22) {
    HoldBackFallingDice(g);
    // Within 2.0 of the score point: arrives on this frame whatever its heading.
    ObjectRecord& near = PutDie(g, 0, 19.0f, -5.5f, 0);
    near.collected = 1;
    near.heading = 1.57f;
    FlyCollectedDie(g, near);
    EXPECT_EQ(near.live, 0);
    EXPECT_EQ(g.score, 10);

    // Far from the point, but its step takes x past 22.0.
    ObjectRecord& wide = PutDie(g, 1, 21.9f, 12.0f, 5);
    wide.collected = 1;
    wide.heading = 0.0f;
    wide.speed = 0.5f;
    FlyCollectedDie(g, wide);
    EXPECT_EQ(wide.live, 0);
    EXPECT_EQ(g.score, 70);

    // Neither: still flying.
    ObjectRecord& away = PutDie(g, 2, 0.0f, 10.0f, 2);
    away.collected = 1;
    FlyCollectedDie(g, away);
    EXPECT_EQ(away.live, 1);
    EXPECT_EQ(g.score, 70);
}

TEST_F(PlayTest, TheHeadingTurnsTheShortWayRound) {
    HoldBackFallingDice(g);
    struct Case {
        float x, z, heading, expected;
    } cases[] = {
        {10.0f, -5.0f, 0.0f, 6.28f - 0.0942f},           // straight at it: still turns, by -0.0942
        {10.0f, -4.9f, 0.05f, 0.05f - 0.0942f + 6.28f},  // target just below 6.28: across 0
        {10.0f, -6.0f, 6.25f, 6.25f + 0.0942f - 6.28f},  // target just above 0: across 6.28
        {30.0f, -5.0f, 1.0f, 1.0f + 0.0942f},            // behind the point: target 3.14
        {10.0f, 5.0f, 3.0f, 3.0f + 0.0942f},             // target about 5.5: up the short way
    };
    for (const Case& c : cases) {
        ObjectRecord& die = PutDie(g, 0, c.x, c.z, 0);
        die.collected = 1;
        die.heading = c.heading;
        FlyCollectedDie(g, die);
        EXPECT_NEAR(die.heading, c.expected, 1e-5f) << "from " << c.x << ", " << c.z;
    }
}

// The hit test looks at free slots too; it relies on every knocked-out die coming to
// rest clear of the player's columns (and of the near rows the shots start from).
TEST_F(PlayTest, EveryFlightParksItsDieClearOfTheShots) {
    HoldBackFallingDice(g);
    for (int column = 0; column < kColumns; ++column) {
        for (float z = -15.0f; z <= 25.0f; z += 0.25f) {
            ObjectRecord& die = PutDie(g, 0, 3.46f * static_cast<float>(column) - 22.7f, z, 0);
            die.collected = 1;
            int steps = 0;
            while (die.live && steps < 1000) {
                FlyCollectedDie(g, die);
                ++steps;
            }
            ASSERT_EQ(die.live, 0) << "column " << column << " z " << z;
            for (int cell = 0; cell < kColumns; ++cell) {
                const float lane = -22.55f + 3.45f * static_cast<float>(cell);
                const bool inLane = std::fabs(die.x - lane) < 0.5f && die.z > -19.25f;
                EXPECT_FALSE(inLane) << "column " << column << " z " << z << " parks at " << die.x << ", " << die.z;
            }
        }
    }
}

TEST_F(PlayTest, ACollectedDieNeverLands) {
    HoldBackFallingDice(g);
    ObjectRecord& die = PutDie(g, 0, -20.0f, -14.9f, 1);
    die.collected = 1;
    die.heading = 4.71f;
    for (int i = 0; i < 3; ++i) h.frame();
    EXPECT_LT(die.z, -15.0f);
    EXPECT_EQ(die.live, 1);
    EXPECT_EQ(LiveCount(g.blasts), 0);
}

}  // namespace
}  // namespace vemol::test
