// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes give a replay or one sentence; a replay read writes back to a file that reads
// the same; its playback answers any order of reads or stops. Input that is not a replay
// file is taken as the values a game read, so the fuzzer gets past zstd's checksum.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "replay/replay.h"

// From the game, which this harness does not link: the playback's start (never called).
namespace vemol {
void StartSeededGame(GameState&, std::uint32_t) { std::abort(); }
std::int64_t Clock::calendarSeconds() { return 0; }
}  // namespace vemol

namespace {

using namespace vemol;

replay::Bytes AsFile(const std::uint8_t* data, std::size_t size) {
    replay::Replay values;
    values.events.assign(data, data + size);
    values.frames = static_cast<std::uint32_t>(std::count(data, data + size, 0));
    values.finalScore = size > 0 ? data[0] : 0;
    return replay::WriteReplay(values);
}

// A game reading in an order of its own: a few clock reads and a key a frame.
void PlayBack(const replay::Replay& replay) {
    replay::Playback playback(replay);
    playback.gameStarting(replay.seed, replay.bestScoreShown);
    for (std::uint32_t frame = 0; !playback.finished() && frame <= replay.frames; ++frame) {
        for (std::uint32_t i = 0; i < frame % 4; ++i) playback.clock().now();
        playback.keyboard().query(static_cast<Key>(frame % kKeyCount));
        const auto due = playback.nextFrameTime();
        playback.frameStarting();
        const float first = playback.clock().now();
        if (!playback.finished() && due != first) std::abort();
    }
    playback.gameFinished(replay.finalScore);
    if (!playback.finished()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool isFile = size >= 8 && std::memcmp(data, "VEMOLRPL", 8) == 0;
    const replay::Bytes file = isFile ? replay::Bytes(data, data + size) : AsFile(data, size);
    std::string problem;
    const auto replay = replay::ReadReplay(file, &problem);
    if (!replay) {
        if (problem.empty()) std::abort();
        return 0;
    }
    const auto again = replay::ReadReplay(replay::WriteReplay(*replay), nullptr);
    if (!again || again->events != replay->events || again->frames != replay->frames ||
        again->finalScore != replay->finalScore || again->seed != replay->seed)
        std::abort();
    PlayBack(*replay);
    return 0;
}
