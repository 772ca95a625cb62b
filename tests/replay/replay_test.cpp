// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A game recorded and played back from its file shows the same pictures, makes the same
// sounds and ends with the same score, in either pixel format.
#include <gtest/gtest.h>

#include "recorded_game.h"

namespace vemol::test {
namespace {

TEST(ReplayPlayback, AReplayedGameIsTheRecordedGame) {
    for (const gfx::Format format : {gfx::Format::X8R8G8B8, gfx::Format::R5G6B5}) {
        SCOPED_TRACE(format == gfx::Format::R5G6B5 ? "R5G6B5" : "X8R8G8B8");
        const GameRun recorded = RecordScriptedGame(format, 1500);
        ASSERT_FALSE(recorded.file.empty()) << "no replay of the finished game";
        EXPECT_GT(recorded.score, 0);

        std::string problem;
        const auto replay = replay::ReadReplay(recorded.file, &problem);
        ASSERT_TRUE(replay) << problem;
        EXPECT_EQ(replay->finalScore, recorded.score);
        EXPECT_EQ(replay->bestScoreShown, 250);
        EXPECT_EQ(replay::WriteReplay(*replay), recorded.file);

        const GameRun played = PlayBack(recorded.file, format, &problem);
        EXPECT_EQ(problem, "");
        EXPECT_EQ(played.pictures.size(), recorded.pictures.size());
        EXPECT_TRUE(played.pictures == recorded.pictures) << "a replayed picture differs";
        EXPECT_EQ(played.sounds, recorded.sounds);
        EXPECT_EQ(played.score, recorded.score);
        EXPECT_EQ(played.mistimedFrames, 0);
    }
}

}  // namespace
}  // namespace vemol::test
