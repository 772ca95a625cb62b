// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The ranking server's check of a ten-minute game (36,000 frames at 60 a second), its
// file's size, and what compressing that file costs at the game's end. The game is the
// scripted player's, minding all twelve columns, on a clock that counts whole
// milliseconds as the window's does. The player loses after about three minutes, the
// board at its fullest by then, so the figures for ten minutes are scaled from its game:
// check time per frame times 36,000, and file bytes per minute of play times ten.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cmath>
#include <cstdint>

#include "replay/headless_game.h"
#include "replay/replay.h"
#include "support/scripted_player.h"

namespace vemol::test {
namespace {

constexpr std::int64_t kTenMinutesUs = 600'000'000;
constexpr std::int64_t kFrameUs = 16'667;

struct RecordedGame {
    replay::Bytes file;
    std::int32_t score = 0;
    double minutes = 0.0;  // of play before HOME (less when the player lost early)
};

RecordedGame PlayTenMinutes() {
    Harness h;
    h.g.device->setDrawing(false);  // the rules read no pixel, so the game is the same
    h.g.bestScoreKeepable = false;
    replay::Recorder recorder(h.clock, h.keys);
    h.g.clock = &recorder.clock();
    h.g.keys = &recorder.keyboard();
    h.g.recorder = &recorder;
    h.clock.calendar = 20261210;
    std::int64_t us = 0;
    auto frame = [&] {
        us += kFrameUs;
        for (;;) {
            h.clock.t = static_cast<float>(us / 1000) * 0.001f;
            const float idle = RunFrame(h.g).idleSeconds;
            if (idle <= 0.0f) return;
            us += std::llround(idle * 1e6);
        }
    };
    h.keys.press(Key::Return);
    frame();
    h.keys.release(Key::Return);
    while (h.g.transitionStep != kNoTransition) frame();
    const std::int64_t started = us;
    while (us - started < kTenMinutesUs && h.g.endCountdown == -1 && ChooseKeys(h, kColumns)) frame();
    RecordedGame game;
    game.minutes = static_cast<double>(us - started) / 60e6;
    h.keys.releaseAll();
    h.keys.press(Key::Home);
    while (h.g.playing) frame();
    game.score = h.g.score;
    game.file = recorder.takeFinishedGame().value_or(replay::Bytes{});
    return game;
}

const RecordedGame& TenMinuteGame() {
    static const RecordedGame game = PlayTenMinutes();
    return game;
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void Describe(benchmark::State& state, const RecordedGame& game, std::uint32_t frames) {
    state.counters["file_KB"] = static_cast<double>(game.file.size()) / 1000.0;
    state.counters["file_KB_per_10_min"] = static_cast<double>(game.file.size()) / 1000.0 / game.minutes * 10.0;
    state.counters["frames"] = frames;
    state.counters["minutes_played"] = game.minutes;
    state.counters["score"] = game.score;
}

void BM_VerifyTenMinuteGame(benchmark::State& state) {
    const RecordedGame& game = TenMinuteGame();
    replay::Verdict verdict;
    double cpu = 0.0;
    for (auto _ : state) {
        const double before = ThreadCpuSeconds();
        verdict = replay::VerifyReplay(game.file, game.score);
        cpu += ThreadCpuSeconds() - before;
        if (!verdict.verified) state.SkipWithError(verdict.reason.c_str());
    }
    Describe(state, game, verdict.frames);
    const double perFrame = cpu / static_cast<double>(state.iterations()) / verdict.frames;
    state.counters["cpu_s_per_36000_frames"] = perFrame * 36000.0;
}
BENCHMARK(BM_VerifyTenMinuteGame)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WriteTenMinuteReplay(benchmark::State& state) {
    const RecordedGame& game = TenMinuteGame();
    const auto replay = replay::ReadReplay(game.file, nullptr);
    if (!replay) return state.SkipWithError("the recorded game does not read back");
    for (auto _ : state) benchmark::DoNotOptimize(replay::WriteReplay(*replay));
    state.counters["values_KB"] = static_cast<double>(replay->events.size()) / 1000.0;
    Describe(state, game, replay->frames);
}
BENCHMARK(BM_WriteTenMinuteReplay)->Unit(benchmark::kMillisecond);

// What every check pays before its first frame: the game's device objects made from the
// built-in artwork.
void BM_SetUpHeadlessGame(benchmark::State& state) {
    for (auto _ : state) {
        replay::detail::HeadlessGame game;
        if (!game.ready()) state.SkipWithError("the device objects could not be made");
    }
}
BENCHMARK(BM_SetUpHeadlessGame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vemol::test
