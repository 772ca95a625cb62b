// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorded_game.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string_view>

#include "support/scripted_player.h"

namespace vemol::test {

namespace {

std::uint64_t PictureHash(const gfx::Surface& picture) {
    std::uint64_t hash = 0;
    const auto rowBytes = static_cast<std::size_t>(picture.width() * gfx::BytesPerPixel(picture.format()));
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const char*>(picture.data()) + static_cast<std::size_t>(y) * picture.pitch();
        hash = hash * 31 + std::hash<std::string_view>{}(std::string_view(row, rowBytes));
    }
    return hash;
}

// The playback's clock, noting the first value each frame reads.
struct FirstReadClock : Clock {
    explicit FirstReadClock(Clock& clock) : clock(clock) {}
    float now() override {
        const float t = clock.now();
        if (!first) first = t;
        return t;
    }
    std::int64_t calendarSeconds() override { return clock.calendarSeconds(); }
    Clock& clock;
    std::optional<float> first;
};

void Watch(Harness& h, GameRun& run) {
    h.g.bestScoreKeepable = false;  // no vemol.dat written by a test
    h.g.device->setPresentHandler(
        [&run](const gfx::Surface& picture, const gfx::ChangedRows&) { run.pictures.push_back(PictureHash(picture)); });
}

void Listen(const Harness& h, GameRun& run) {
    for (const SoundCall& c : h.sound.calls)
        run.sounds += std::to_string(c.kind) + ":" + std::to_string(static_cast<int>(c.segment)) + ":" +
                      std::to_string(c.flags) + " ";
    run.score = h.g.score;
}

}  // namespace

GameRun RecordScriptedGame(gfx::Format format, int playFrames, const std::function<float(int)>& step) {
    GameRun run;
    Harness h(format);
    replay::Recorder recorder(h.clock, h.keys);
    h.g.clock = &recorder.clock();
    h.g.keys = &recorder.keyboard();
    h.g.recorder = &recorder;
    h.g.bestScore = 250;
    Watch(h, run);
    h.clock.calendar = 20260101;
    // Start from the title, the transition paced as the window paces it.
    h.keys.press(Key::Return);
    h.frame();
    h.keys.release(Key::Return);
    while (h.g.transitionStep != kNoTransition) h.frame();
    for (int frame = 0; frame < playFrames && h.g.endCountdown == -1; ++frame) {
        EXPECT_TRUE(ChooseKeys(h));
        h.frame(step ? step(frame) : 1.0f / 60.0f);
    }
    h.keys.releaseAll();
    h.keys.press(Key::Home);
    for (int frame = 0; frame < 1000 && h.g.playing; ++frame) h.frame();
    Listen(h, run);
    if (auto file = recorder.takeFinishedGame()) run.file = std::move(*file);
    return run;
}

GameRun PlayBack(const replay::Bytes& file, gfx::Format format, std::string* problem) {
    GameRun run;
    const auto replay = replay::ReadReplay(file, problem);
    if (!replay) return run;
    Harness h(format);
    replay::Playback playback(*replay);
    FirstReadClock clock(playback.clock());
    h.g.clock = &clock;
    h.g.keys = &playback.keyboard();
    h.g.recorder = &playback;
    Watch(h, run);
    playback.start(h.g);
    while (!playback.finished()) {
        const std::optional<float> due = playback.nextFrameTime();
        clock.first.reset();
        RunFrame(h.g);
        if (clock.first && clock.first != due) run.mistimedFrames++;
    }
    *problem = playback.problem();
    Listen(h, run);
    return run;
}

}  // namespace vemol::test
