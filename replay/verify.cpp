// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The ranking server's check of a sent score. Cheap refusals come first (the file, the
// claimed score, the clock, all without running a frame); then the game runs headless
// from the replay, within a bound on its run time, and must end with the posted score.
#include <time.h>

#include <cstdio>
#include <new>
#include <optional>
#include <string>

#include "game/operations.h"
#include "replay/events.h"
#include "replay/headless_game.h"
#include "replay/replay.h"

namespace vemol::replay {

namespace {

std::string Format(const char* format, double a, double b = 0.0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A real game's clock never goes back, never stands still for longer than a menu may be
// held open, and runs at least as fast as the frames are paced: a replay whose frames
// came faster than that was played slowed down.
std::string ClockProblem(const Replay& replay, const VerifyLimits& limits) {
    detail::EventCursor cursor(replay.events);
    std::optional<float> first;
    float last = 0.0f;
    std::uint32_t frame = 0, firstFrame = 0, lastFrame = 0;
    for (auto next = cursor.next(); next != detail::EventCursor::Next::End; next = cursor.next()) {
        if (next == detail::EventCursor::Next::Frame) {
            cursor.takeFrame();
            ++frame;
        } else if (next == detail::EventCursor::Next::Key) {
            cursor.takeKey();
        } else {
            const auto t = cursor.takeClock();
            if (!t) return "The replay is damaged.";
            if (first && *t < last) return Format("The clock goes back in frame %.0f.", frame);
            if (first && *t - last > limits.longestFrameStep)
                return Format("The clock jumps %.1f s in frame %.0f.", *t - last, frame);
            if (!first) first = *t, firstFrame = frame;
            last = *t;
            lastFrame = frame;
        }
    }
    // Measured over the frames that read the clock (the transition and the falling tiles
    // read none).
    const double seconds = first ? static_cast<double>(last - *first) : 0.0;
    const std::uint32_t frames = lastFrame - firstFrame;
    if (frames > 0 && frames > seconds * limits.fastestFrameRate)
        return Format("The game runs %.0f frames in %.2f s of its clock, faster than it is paced.", frames, seconds);
    return {};
}

// Runs the replay's game to its end; empty when it ended as the replay says.
std::string RunProblem(const Replay& replay, const VerifyLimits& limits, Verdict& verdict) {
    detail::HeadlessGame game;
    if (!game.ready()) return "The game could not be set up to check the replay.";
    GameState& g = game.state();
    Playback playback(replay);
    g.clock = &playback.clock();
    g.keys = &playback.keyboard();
    g.recorder = &playback;
    const double started = ThreadCpuSeconds();
    playback.start(g);
    // Every frame takes one of the replay's frames or ends the playback, so this ends.
    for (std::uint32_t frame = 0; !playback.finished(); ++frame) {
        RunFrame(g);
        if (frame % 256 == 0 && ThreadCpuSeconds() - started > limits.cpuSeconds)
            return Format("The check took more than %.1f s of run time.", limits.cpuSeconds);
    }
    verdict.score = g.score;
    return playback.problem();
}

Verdict Verify(std::span<const std::uint8_t> file, std::int32_t postedScore, const VerifyLimits& limits) {
    Verdict verdict;
    const auto refused = [&verdict](std::string reason) {
        verdict.reason = std::move(reason);
        return verdict;
    };
    if (file.size() > kMaxReplayFileBytes) return refused("The replay is too large.");
    std::string problem;
    const auto replay = ReadReplay(file, &problem);
    if (!replay) return refused(problem);
    verdict.frames = replay->frames;
    if (replay->finalScore != postedScore)
        return refused(
            Format("The replay ends its game with %.0f points, not the %.0f posted.", replay->finalScore, postedScore));
    if (auto clock = ClockProblem(*replay, limits); !clock.empty()) return refused(clock);
    if (auto run = RunProblem(*replay, limits, verdict); !run.empty()) return refused(run);
    verdict.verified = true;
    return verdict;
}

}  // namespace

// The server's worker goes on to the next replay whatever this one does.
Verdict VerifyReplay(std::span<const std::uint8_t> file, std::int32_t postedScore, const VerifyLimits& limits) {
    try {
        return Verify(file, postedScore, limits);
    } catch (const std::bad_alloc&) {
        Verdict verdict;
        verdict.reason = "There was not enough memory to check the replay.";
        return verdict;
    }
}

}  // namespace vemol::replay
