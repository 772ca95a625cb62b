// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A replay played back in the window (`vemol --replay FILE`): the game reads the
// replay's clock and keys instead of the real ones, its frames come at the pace they were
// recorded, and afterwards the game has its own clock, keys and best scores back. The
// window stays the application's; this only feeds and paces the game.
#include <cstdint>
#include <optional>
#include <string>

#include "game/state.h"
#include "replay/replay.h"

namespace vemol::app {

// Reads a replay file for playing: only a regular file, never more than a replay may
// hold. Bad input gives nullopt and one sentence for the player in `problem`.
std::optional<replay::Replay> LoadReplayFile(const std::string& path, std::string* problem);

class ReplayViewing {
public:
    // `realClock` is the program's own clock, which paces the frames.
    ReplayViewing(const replay::Replay& replay, Clock& realClock);

    // Hands the game the replay's clock and keys and starts the recorded game.
    void begin(GameState& g);
    // Seconds until the next frame is due at the recorded pace (0: run it now). The first
    // frame is due at once; the others as long after it as they were recorded.
    float secondsUntilNextFrame();
    // The recorded game has ended, or the game no longer follows the replay.
    bool finished() const { return playback_.finished(); }
    // Empty unless the game stopped following the replay; then what went wrong.
    const std::string& problem() const { return playback_.problem(); }
    // Back to the title with the game's own clock, keys, recorder and best scores, as
    // before the playback; a game still under way (stopped by the player) is left.
    void end(GameState& g);

private:
    replay::Playback playback_;
    Clock& realClock_;
    std::optional<float> realStart_, recordedStart_;
    float lastDue_ = 0.0f;  // the recorded time of the frame before
    Clock* gameClock_ = nullptr;
    Keyboard* gameKeys_ = nullptr;
    GameRecorder* gameRecorder_ = nullptr;
    std::int32_t bestScore_ = 0, sessionBestScore_ = 0;
};

}  // namespace vemol::app
