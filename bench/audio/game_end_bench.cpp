// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The frame in which a game ends: the last shatter tile falls, the flow returns to the
// title and the tune is stopped. Apart from the 0.7 s pause of a lost game, no frame may
// take longer than one 60 Hz frame because of the sound; target under 2 ms.
//
// The real mixer and the real SoundFont (TimGM6mb from Debian) through SDL's disk driver
// writing to /dev/null, which asks for samples at a sound card's pace. Each round plays
// the tune for a moment first, so it sounds when it stops.
// Counter worst_ms: the slowest of the measured frames.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "audio/audio_engine.h"
#include "game/device_objects.h"
#include "game/operations.h"
#include "game/state.h"
#include "platform/sdl_mixer.h"
#include "resources/catalogue.h"

namespace {

struct BenchClock : vemol::Clock {
    float t = 100.0f;
    float now() override { return t; }
};

struct NoKeys : vemol::Keyboard {
    vemol::KeyState query(vemol::Key) override { return {}; }
};

struct QuietShell : vemol::Shell {
    void SetRankingCommandsEnabled(bool) override {}
    void ShutdownAudioAndQuit() override {}
    void ShowErrorMessage(const char*, const char*) override {}
};

// Game-over frames with one tile left, on its last frame before it falls past the edge.
void LastTileAboutToFall(vemol::GameState& g) {
    g.playing = 1;
    g.endCountdown = 0;
    g.endPause = 0;
    g.score = 0;
    for (vemol::ObjectRecord& tile : g.shatterTiles) tile.live = 0;
    vemol::ObjectRecord& last = g.shatterTiles[0];
    last.live = 1;
    last.z = -39.9f;
    last.animA = -0.5f;
}

void BM_GameEndFrameStopsTheTune(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_SOUNDFONTS", "/usr/share/sounds/sf2/TimGM6mb.sf2", 1);
    const vemol::resources::Catalogue& catalogue = vemol::resources::Catalogue::embedded();
    vemol::AudioEngine engine(vemol::platform::MakeSdlMixerDevice(), std::cerr);
    if (!engine.CreateAudioEngine() || !engine.LoadSounds(catalogue)) {
        state.SkipWithError("the sounds could not be loaded");
        return;
    }
    BenchClock clock;
    NoKeys keys;
    QuietShell shell;
    vemol::GameState g;
    g.clock = &clock;
    g.keys = &keys;
    g.sound = &engine;
    g.shell = &shell;
    g.bestScorePath = "/nonexistent/vemol.dat";
    g.device = std::make_unique<vemol::gfx::Device>(632, 453);
    if (!vemol::CreateDeviceObjects(g, catalogue)) {
        state.SkipWithError("the device objects could not be made");
        return;
    }
    vemol::BeginGameEnd(g);

    double worst = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        engine.StartMusic();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        LastTileAboutToFall(g);
        state.ResumeTiming();
        const auto before = std::chrono::steady_clock::now();
        vemol::RunPlayFrame(g);
        const auto after = std::chrono::steady_clock::now();
        state.PauseTiming();
        worst = std::max(worst, std::chrono::duration<double, std::milli>(after - before).count());
        if (g.playing != 0) {
            state.SkipWithError("the game did not end in the measured frame");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["worst_ms"] = worst;
    engine.Shutdown();
}
BENCHMARK(BM_GameEndFrameStopsTheTune)->Iterations(20)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
