// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game with nothing to show it on: the real game state and device objects, made as
// the game makes them, with the device's drawing off, no sound and no shell. Its rules
// run exactly as in the window; only the pixels are never worked out.
#include "game/state.h"

namespace vemol::replay::detail {

class HeadlessGame {
public:
    HeadlessGame();
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;
    // False when the device objects could not be made from the built-in artwork.
    bool ready() const { return ready_; }
    GameState& state() { return g_; }

private:
    struct Silence : SoundPlayer {
        void PlaySoundSegment(Segment, std::uint32_t) override {}
        void StartMusic() override {}
        void StopSoundSegment(Segment) override {}
    };
    struct NoShell : Shell {
        void SetRankingCommandsEnabled(bool) override {}
        void ShutdownAudioAndQuit() override {}
        void ShowErrorMessage(const char*, const char*) override {}
    };
    Silence sound_;
    NoShell shell_;
    GameState g_;
    bool ready_ = false;
};

}  // namespace vemol::replay::detail
