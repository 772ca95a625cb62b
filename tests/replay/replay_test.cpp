// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Games of the scripted player recorded on the headless harness: played back from the
// file they show, sound and score the same, in either pixel format; the ranking server's
// check verifies them with exactly their score and refuses, each for its own reason, a
// forged score, a damaged or altered file and a clock no paced game has.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string_view>

#include "replay/replay.h"
#include "support/scripted_player.h"

namespace vemol::test {
namespace {

using ::testing::HasSubstr;

struct GameRun {
    std::vector<std::size_t> pictures;  // a hash of every presented picture
    std::string sounds;
    std::int32_t score = 0;
    replay::Bytes file;
};

void Watch(Harness& h, GameRun& run) {
    h.g.bestScoreKeepable = false;  // no vemol.dat written by a test
    h.g.device->setPresentHandler([&run](const gfx::Surface& picture, const gfx::ChangedRows&) {
        const auto* pixels = reinterpret_cast<const char*>(picture.data());
        run.pictures.push_back(
            std::hash<std::string_view>{}({pixels, std::size_t(picture.pitch()) * picture.height()}));
    });
}

void Listen(const Harness& h, GameRun& run) {
    for (const SoundCall& c : h.sound.calls)
        run.sounds +=
            std::to_string(c.kind) + ":" + std::to_string(int(c.segment)) + ":" + std::to_string(c.flags) + " ";
    run.score = h.g.score;
}

// Up to `playFrames` frames of play, the clock advancing by step(frame) before each, then
// HOME and the game's end.
GameRun Record(gfx::Format format, int playFrames, const std::function<float(int)>& step = {}) {
    GameRun run;
    Harness h(format);
    replay::Recorder recorder(h.clock, h.keys);
    h.g.clock = &recorder.clock();
    h.g.keys = &recorder.keyboard();
    h.g.recorder = &recorder;
    h.g.bestScore = 250;
    Watch(h, run);
    h.clock.calendar = 20260101;
    h.keys.press(Key::Return);
    h.frame();
    h.keys.release(Key::Return);
    while (h.g.transitionStep != kNoTransition) h.frame();  // paced as in the window
    for (int frame = 0; frame < playFrames && h.g.endCountdown == -1; ++frame) {
        EXPECT_TRUE(ChooseKeys(h));
        h.frame(step ? step(frame) : 1.0f / 60.0f);
    }
    h.keys.releaseAll();
    h.keys.press(Key::Home);
    for (int frame = 0; frame < 1000 && h.g.playing; ++frame) h.frame();
    Listen(h, run);
    run.file = recorder.takeFinishedGame().value_or(replay::Bytes{});
    return run;
}

GameRun PlayBack(const replay::Replay& replay, gfx::Format format, std::string* problem) {
    GameRun run;
    Harness h(format);
    replay::Playback playback(replay);
    h.g.clock = &playback.clock();
    h.g.keys = &playback.keyboard();
    h.g.recorder = &playback;
    Watch(h, run);
    playback.start(h.g);
    while (!playback.finished()) RunFrame(h.g);
    *problem = playback.problem();
    Listen(h, run);
    return run;
}

TEST(ReplayPlayback, AReplayedGameIsTheRecordedGame) {
    for (const gfx::Format format : {gfx::Format::X8R8G8B8, gfx::Format::R5G6B5}) {
        SCOPED_TRACE(format == gfx::Format::R5G6B5 ? "R5G6B5" : "X8R8G8B8");
        const GameRun recorded = Record(format, 1500);
        EXPECT_GT(recorded.score, 0);
        std::string problem;
        const auto replay = replay::ReadReplay(recorded.file, &problem);
        ASSERT_TRUE(replay) << problem;
        EXPECT_EQ(replay->finalScore, recorded.score);
        EXPECT_EQ(replay->bestScoreShown, 250);
        EXPECT_EQ(replay::WriteReplay(*replay), recorded.file);
        // The fuzz harness's corpus starts from this game.
        if (const char* corpus = std::getenv("VEMOL_REPLAY_CORPUS"))
            std::ofstream(std::string(corpus) + "/scripted_game.vemolreplay", std::ios::binary)
                .write(reinterpret_cast<const char*>(recorded.file.data()), std::streamsize(recorded.file.size()));

        const GameRun played = PlayBack(*replay, format, &problem);
        EXPECT_EQ(problem, "");
        EXPECT_EQ(played.pictures.size(), recorded.pictures.size());
        EXPECT_TRUE(played.pictures == recorded.pictures) << "a replayed picture differs";
        EXPECT_EQ(played.sounds, recorded.sounds);
        EXPECT_EQ(played.score, recorded.score);
    }
}

std::string Refusal(const replay::Bytes& file, std::int32_t score, const replay::VerifyLimits& limits = {}) {
    const replay::Verdict verdict = replay::VerifyReplay(file, score, limits);
    EXPECT_FALSE(verdict.verified);
    return verdict.reason;
}

TEST(VerifyReplay, OnlyTheRecordedGameWithItsOwnScorePasses) {
    const GameRun game = Record(gfx::Format::X8R8G8B8, 1500);
    const replay::Verdict verdict = replay::VerifyReplay(game.file, game.score);
    EXPECT_TRUE(verdict.verified) << verdict.reason;
    EXPECT_EQ(verdict.score, game.score);
    EXPECT_GT(verdict.frames, 1500u);

    EXPECT_THAT(Refusal(game.file, game.score + 1), HasSubstr("not the"));
    EXPECT_THAT(Refusal(game.file, game.score, {.cpuSeconds = 0.0}), HasSubstr("run time"));
    EXPECT_THAT(Refusal({'s', 'c', 'o', 'r', 'e', '=', '9', '9', '9', '9', '9'}, 99999), HasSubstr("not a Vemol"));
    EXPECT_THAT(Refusal(replay::Bytes(game.file.begin(), game.file.end() - 9), game.score), HasSubstr("damaged"));
    replay::Bytes flipped = game.file;
    flipped[flipped.size() / 2] ^= 0x10;
    EXPECT_THAT(Refusal(flipped, game.score), HasSubstr("damaged"));
    replay::Bytes otherRules = game.file;
    otherRules[10]++;
    EXPECT_THAT(Refusal(otherRules, game.score), HasSubstr("another version"));

    // A key read as another: a game under other rules reads differently.
    auto altered = *replay::ReadReplay(game.file, nullptr);
    for (std::uint8_t& code : altered.events)
        if ((code & 0xFC) == (0x80 | int(Key::Space) << 2)) {
            code = static_cast<std::uint8_t>((code & 3) | 0x80 | int(Key::Left) << 2);
            break;
        }
    EXPECT_THAT(Refusal(replay::WriteReplay(altered), game.score), HasSubstr("read the key Space"));
}

TEST(VerifyReplay, AClockNoPacedGameHasIsRefused) {
    auto recordedWith = [](float oddStep, float step) {
        return Record(gfx::Format::X8R8G8B8, 300, [=](int frame) { return frame == 100 ? oddStep : step; });
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
