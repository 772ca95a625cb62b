// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replays: a game kept as the values it read (the seed, then in order every clock value
// and key state), in a compact versioned file of our own. The game core is deterministic
// given those values, so a replay plays the game again exactly: in the window for the
// player, headless on the ranking server to check a sent score.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/services.h"

namespace vemol {
struct GameState;
}

namespace vemol::replay {

using Bytes = std::vector<std::uint8_t>;

// What the file's header tells, and the values the game read, frame by frame.
struct Replay {
    std::uint32_t seed = 0;
    std::int32_t bestScoreShown = 0;  // the best score the HUD showed during the game
    std::int32_t finalScore = 0;      // the score the recorder saw the game end with
    std::uint32_t frames = 0;         // frames after the start's own reads
    Bytes events;                     // the values read, in the reader's internal form
};

// The largest file the readers take, and the most frames a game may hold (two hours at
// 60 frames a second), so a hostile file cannot exhaust memory or time.
constexpr std::size_t kMaxReplayFileBytes = 2u << 20;
constexpr std::uint32_t kMaxReplayFrames = 2u * 60u * 60u * 60u;

// The version of the game's rules a replay is played under: raised whenever a change to
// the game makes the same values read give another game, so an older replay is refused
// rather than played wrong.
constexpr std::uint16_t kRulesVersion = 1;

// Reads a replay file. Bad input (not a replay, damaged, made by other rules, too big)
// gives nullopt and one sentence for the player in `problem`.
std::optional<Replay> ReadReplay(std::span<const std::uint8_t> file, std::string* problem);
Bytes WriteReplay(const Replay& replay);

// Records every game played through its clock and keyboard: hand clock() and keyboard()
// to the game instead of the real ones and make it the game's recorder. Reads outside a
// game pass through unrecorded.
class Recorder : public GameRecorder {
public:
    Recorder(Clock& clock, Keyboard& keys);
    ~Recorder() override;
    Clock& clock();
    Keyboard& keyboard();
    void gameStarting(std::uint32_t seed, std::int32_t bestScore) override;
    void frameStarting() override;
    void gameFinished(std::int32_t score) override;
    // The replay file of the game that finished last, once; nullopt when none finished
    // since the last call (a game given up by quitting leaves none).
    std::optional<Bytes> takeFinishedGame();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Feeds a game from a replay: hand clock() and keyboard() to the game, make it the game's
// recorder, call start() instead of the title's Start, then run frames while !finished().
class Playback : public GameRecorder {
public:
    explicit Playback(const Replay& replay);
    ~Playback() override;
    Clock& clock();
    Keyboard& keyboard();
    // Shows the replay's best score and starts its game (StartSeededGame).
    void start(GameState& g);
    // The clock value the next frame's first read will see (for pacing a playback).
    std::optional<float> nextFrameTime() const;
    // The game ended, or the replay ran out or no longer fits what the game reads.
    bool finished() const;
    // Empty while the game reads exactly what was recorded; else what went wrong.
    const std::string& problem() const;
    void gameStarting(std::uint32_t seed, std::int32_t bestScore) override;
    void frameStarting() override;
    void gameFinished(std::int32_t score) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The ranking server's check of a sent score: the replay run headless under the game's
// rules (nothing drawn that the rules do not read), within bounds on its frames, its run
// time and its clock. Verified when the run ends the game with exactly `postedScore`.
struct VerifyLimits {
    double cpuSeconds = 10.0;         // the most run time one check may take
    float longestFrameStep = 120.0f;  // seconds between two frames (a menu held open)
    float fastestFrameRate = 66.0f;   // frames per recorded second, first to last clock read
};
struct Verdict {
    bool verified = false;
    std::string reason;  // why not, for the server's log and `admin list`
    std::int32_t score = 0;
    std::uint32_t frames = 0;
};
Verdict VerifyReplay(std::span<const std::uint8_t> file, std::int32_t postedScore, const VerifyLimits& limits = {});

}  // namespace vemol::replay
