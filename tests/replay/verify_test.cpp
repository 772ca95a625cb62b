// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The ranking server's check: a recorded game is verified with exactly its score; a
// forged score, a damaged or altered file and a clock no played game has are refused,
// each with its own reason.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "recorded_game.h"

namespace vemol::test {
namespace {

using ::testing::HasSubstr;

std::string Refusal(const replay::Bytes& file, std::int32_t score, const replay::VerifyLimits& limits = {}) {
    const replay::Verdict verdict = replay::VerifyReplay(file, score, limits);
    EXPECT_FALSE(verdict.verified);
    return verdict.reason;
}

TEST(VerifyReplay, OnlyTheRecordedGameWithItsOwnScorePasses) {
    const GameRun game = RecordScriptedGame(gfx::Format::X8R8G8B8, 1500);
    ASSERT_GT(game.score, 0);
    const replay::Verdict verdict = replay::VerifyReplay(game.file, game.score);
    EXPECT_TRUE(verdict.verified) << verdict.reason;
    EXPECT_EQ(verdict.score, game.score);
    EXPECT_GT(verdict.frames, 1500u);

    EXPECT_THAT(Refusal(game.file, game.score + 1), HasSubstr("not the"));
    EXPECT_THAT(Refusal(game.file, game.score, {.cpuSeconds = 0.0}), HasSubstr("run time"));
    const replay::Bytes text = {'s', 'c', 'o', 'r', 'e', '=', '9', '9', '9', '9', '9', '&', 'n', 'a'};
    EXPECT_THAT(Refusal(text, game.score), HasSubstr("not a Vemol replay"));
    EXPECT_THAT(Refusal(replay::Bytes(game.file.begin(), game.file.end() - 9), game.score), HasSubstr("damaged"));
    replay::Bytes flipped = game.file;
    flipped[flipped.size() / 2] ^= 0x10;
    EXPECT_THAT(Refusal(flipped, game.score), HasSubstr("damaged"));
    replay::Bytes otherRules = game.file;
    otherRules[10]++;
    EXPECT_THAT(Refusal(otherRules, game.score), HasSubstr("another version"));

    // One key read as another: the game under these rules reads differently.
    auto altered = *replay::ReadReplay(game.file, nullptr);
    for (std::uint8_t& code : altered.events)
        if ((code & 0xE0) == 0x80 && (code >> 2 & 7) == static_cast<int>(Key::Space)) {
            code = static_cast<std::uint8_t>((code & 3) | 0x80 | static_cast<int>(Key::Left) << 2);
            break;
        }
    EXPECT_THAT(Refusal(replay::WriteReplay(altered), game.score), HasSubstr("read the key Space"));
}

TEST(VerifyReplay, AClockNoPacedGameHasIsRefused) {
    auto recordedWith = [](float oddStep, float step) {
        return RecordScriptedGame(gfx::Format::X8R8G8B8, 300, [=](int frame) { return frame == 100 ? oddStep : step; });
    };
    const GameRun back = recordedWith(-0.5f, 1.0f / 60.0f);
    EXPECT_THAT(Refusal(back.file, back.score), HasSubstr("goes back"));
    const GameRun jump = recordedWith(200.0f, 1.0f / 60.0f);
    EXPECT_THAT(Refusal(jump.file, jump.score), HasSubstr("jumps"));
    const GameRun slowed = recordedWith(1.0f / 120.0f, 1.0f / 120.0f);
    EXPECT_THAT(Refusal(slowed.file, slowed.score), HasSubstr("faster than it is paced"));
    const GameRun paced = recordedWith(1.0f / 60.0f, 1.0f / 60.0f);
    EXPECT_EQ(replay::VerifyReplay(paced.file, paced.score).reason, "");
}

}  // namespace
}  // namespace vemol::test
