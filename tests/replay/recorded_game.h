// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A game of the scripted player recorded on the headless harness, and a replay played
// back on another, each telling what the player saw and heard.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "replay/replay.h"
#include "support/harness.h"

namespace vemol::test {

struct GameRun {
    std::vector<std::uint64_t> pictures;  // a hash of every presented picture
    std::string sounds;                   // every sound call, in order
    std::int32_t score = 0;
    int mistimedFrames = 0;  // frames whose first clock read was not the announced time
    replay::Bytes file;      // the recorder's replay (recording only)
};

// Plays up to `playFrames` frames, the clock advancing by step(frame) before each, then
// gives up with HOME and runs the game's end.
GameRun RecordScriptedGame(gfx::Format format, int playFrames, const std::function<float(int)>& step = {});
// Plays a replay back to its end; `problem` gets the playback's.
GameRun PlayBack(const replay::Bytes& file, gfx::Format format, std::string* problem);

}  // namespace vemol::test
