// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The HUD pass at its busiest: every one of the 120 gauge cells full, so a play frame
// makes 130 copies from the sprite sheet (10 digits and 120 blocks, two rows partly or
// wholly below the picture).
#include <benchmark/benchmark.h>

#include <memory>

#include "game/operations.h"
#include "game/passes.h"
#include "resources/catalogue.h"

namespace {

void BM_HudPassAllGaugesFull(benchmark::State& state) {
    const auto format = static_cast<vemol::gfx::Format>(state.range(0));
    vemol::GameState g;
    g.device = std::make_unique<vemol::gfx::Device>(632, 453, format);
    auto sheet = std::make_unique<vemol::gfx::Surface>(640, 480, format);
    const auto effect = vemol::resources::Catalogue::embedded().find("BITMAP", "EFFECT");
    if (!effect || !vemol::gfx::LoadSurfaceFromBitmap(*sheet, *effect)) {
        state.SkipWithError("no EFFECT sprite sheet among the embedded resources");
        return;
    }
    g.spriteSheet = std::move(sheet);
    g.playing = 1;
    g.endCountdown = 9;  // already ending, so the full columns start nothing new
    g.score = 12345;
    g.bestScore = 67890;
    for (auto& column : g.columnGauge)
        for (auto& cell : column) cell = 0;

    for (auto _ : state) {
        DrawHud(g);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 130);  // copies
    state.SetLabel(format == vemol::gfx::Format::R5G6B5 ? "R5G6B5" : "X8R8G8B8");
}

BENCHMARK(BM_HudPassAllGaugesFull)
    ->Arg(static_cast<int>(vemol::gfx::Format::X8R8G8B8))
    ->Arg(static_cast<int>(vemol::gfx::Format::R5G6B5))
    ->Unit(benchmark::kMicrosecond);

}  // namespace
