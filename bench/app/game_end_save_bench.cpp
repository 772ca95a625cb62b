// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The frame in which a game with a new best score ends, and the application's work after
// it: vemol.dat and the two replays handed to the writer thread. The disk must not hold up
// that frame however slow it is; target: the frame under 2 ms, as any game-over frame.
//
// The files go to the folder named by VEMOL_BENCH_SAVE_DIR (the temporary folder when
// unset): point it at a slow disk, e.g. a loop device throttled by a block-I/O cgroup
// (docs/performance.md says how).
// Counter worst_ms: the slowest of the measured frames.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/game_files.h"
#include "game/device_objects.h"
#include "game/operations.h"
#include "game/state.h"
#include "resources/catalogue.h"

namespace {

struct BenchClock : vemol::Clock {
    float now() override { return 100.0f; }
};
struct NoKeys : vemol::Keyboard {
    vemol::KeyState query(vemol::Key) override { return {}; }
};
struct Silence : vemol::SoundPlayer {
    void PlaySoundSegment(vemol::Segment, std::uint32_t) override {}
    void StartMusic() override {}
    void StopSoundSegment(vemol::Segment) override {}
};
struct QuietShell : vemol::Shell {
    void SetRankingCommandsEnabled(bool) override {}
    void ShutdownAudioAndQuit() override {}
    void ShowErrorMessage(const char*, const char*) override {}
};

// A new folder of the bench's own, so no file of a player's is touched.
std::string SaveFolder() {
    const char* dir = std::getenv("VEMOL_BENCH_SAVE_DIR");
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : tmp && *tmp ? tmp : "/tmp") + "/vemol-bench-XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

// One tile left of the game-over frames, on its last frame before it falls past the
// edge, and a score above the best.
void LastTileAboutToFall(vemol::GameState& g) {
    g.playing = 1;
    g.endCountdown = 0;
    g.endPause = 0;
    g.score = g.bestScore + 10;
    for (vemol::ObjectRecord& tile : g.shatterTiles) tile.live = 0;
    vemol::ObjectRecord& last = g.shatterTiles[0];
    last.live = 1;
    last.z = -39.9f;
    last.animA = -0.5f;
}

void BM_GameEndFrameWithANewBest(benchmark::State& state) {
    BenchClock clock;
    NoKeys keys;
    Silence sound;
    QuietShell shell;
    vemol::GameState g;
    g.clock = &clock;
    g.keys = &keys;
    g.sound = &sound;
    g.shell = &shell;
    const std::string folder = SaveFolder();
    if (folder.empty()) {
        state.SkipWithError("no folder for the saves");
        return;
    }
    g.bestScorePath = folder + "/vemol.dat";
    g.device = std::make_unique<vemol::gfx::Device>(632, 453);
    if (!vemol::CreateDeviceObjects(g, vemol::resources::Catalogue::embedded())) {
        state.SkipWithError("the device objects could not be made");
        return;
    }
    vemol::BeginGameEnd(g);
    LastTileAboutToFall(g);
    vemol::RunPlayFrame(g);  // once unmeasured: the first frame also fills the device's caches
    const std::vector<std::uint8_t> replay(30000, 0x5a);  // a long game's replay
    double worst = 0.0;
    {
        vemol::app::GameFiles files(g.bestScorePath);
        for (auto _ : state) {
            state.PauseTiming();
            LastTileAboutToFall(g);
            state.ResumeTiming();
            const auto before = std::chrono::steady_clock::now();
            const std::int32_t bestBefore = g.bestScore;
            vemol::RunPlayFrame(g);
            if (g.playing == 0 && g.bestScore > bestBefore) files.gameEnded(g.bestScore, replay);
            const auto after = std::chrono::steady_clock::now();
            state.PauseTiming();
            worst = std::max(worst, std::chrono::duration<double, std::milli>(after - before).count());
            if (g.playing != 0) state.SkipWithError("the game did not end in the measured frame");
            state.ResumeTiming();
        }
        // Leaving the scope, the writer finishes the saves, after the timed loop.
    }
    state.counters["worst_ms"] = worst;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_GameEndFrameWithANewBest)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
