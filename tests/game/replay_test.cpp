// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A whole game replayed from a fixed seed and a key script decided frame by frame from
// what is on the board: any change to the rules, the order of the random draws or the
// timing shows up as a different end state.
#include <sstream>

#include "play_support.h"
#include "support/scripted_player.h"

namespace vemol::test {
namespace {

std::string Describe(const GameState& g) {
    std::ostringstream out;
    out.precision(5);
    out << "score " << g.score << " player " << g.player.x << " " << g.player.z << " top " << g.player.topFace
        << " dice";
    for (const ObjectRecord& die : g.fallingDice)
        if (die.live) out << " " << die.face << "@" << die.column << "," << die.z << (die.collected ? "*" : "");
    out << " gauges";
    for (int column = 0; column < kColumns; ++column) {
        int filled = 0;
        for (int cell = 0; cell < kGaugeCells; ++cell) filled += g.columnGauge[column][cell] != -1;
        out << " " << filled;
    }
    return out.str();
}

TEST(Replay, AScriptedGameEndsInTheRecordedState) {
    Harness h;
    ASSERT_TRUE(h.deviceObjectsMade);
    h.clock.calendar = 20260101;
    h.g.bestScorePath = ::testing::TempDir() + "replay_vemol.dat";
    h.startGame();
    int frame = 0;
    for (; frame < 6000 && h.g.endCountdown == -1; ++frame) {
        ASSERT_TRUE(ChooseKeys(h)) << "the player's die is not as planned";
        h.frame();
    }
    EXPECT_EQ(frame, 6000) << "the game was lost early";
    EXPECT_EQ(Describe(h.g),
              "score 1320 player -15.65 -15.3 top 4 dice 3@6,24.05 2@5,11.197 4@11,12.397 "
              "0@10,4.5956 5@11,19.449 3@2,9.9968 4@10,25 gauges 0 0 0 0 0 0 0 0 0 2 4 2");
    // Every hit and every arrival sounds once; every completed roll once.
    EXPECT_EQ(h.sound.count(Segment::Hit), 68);
    EXPECT_EQ(h.sound.count(Segment::Select), 172);
}

}  // namespace
}  // namespace vemol::test
