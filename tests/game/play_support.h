// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the play tests: a started game whose falling dice are held back, so a
// test puts exactly the dice it needs on the board.
#include <gtest/gtest.h>

#include "support/harness.h"

namespace vemol::test {

constexpr float kFrame = 1.0f / 60.0f;

// Slot spawn times far beyond any test, so no die comes down unasked.
inline void HoldBackFallingDice(GameState& g) {
    for (ObjectRecord& die : g.fallingDice) {
        die.live = 0;
        die.spawnTime = 1.0e6f;
    }
}

// A sliding die at (x, z) showing `face`, as if it had just spawned there.
inline ObjectRecord& PutDie(GameState& g, int slot, float x, float z, int face) {
    ObjectRecord& die = g.fallingDice[slot];
    die.live = 1;
    die.collected = 0;
    die.x = x;
    die.z = z;
    die.face = face;
    die.column = 0;
    die.heading = 4.71f;
    die.speed = 0.02f;
    die.spawnTime = g.now();
    die.lastMoveTime = g.now();
    return die;
}

struct PlayTest : ::testing::Test {
    Harness h;
    GameState& g = h.g;

    void SetUp() override {
        ASSERT_TRUE(h.deviceObjectsMade);
        h.startGame();
        ASSERT_EQ(g.playing, 1);
    }

    int LiveCount(const auto& pool) const {
        int n = 0;
        for (const ObjectRecord& r : pool) n += r.live != 0;
        return n;
    }

    // Taps an arrow for one frame, then runs frames until the roll has completed.
    void Roll(Key arrow) {
        h.keys.press(arrow);
        h.frame();
        h.keys.release(arrow);
        for (int i = 0; i < 60 && g.player.rollDir != 0; ++i) h.frame();
    }
};

}  // namespace vemol::test
