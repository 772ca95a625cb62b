// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The CPU the sound takes from the game: seconds of play at 60 frames per second with
// the tune looping and effects raised as a busy game raises them. The output is SDL's
// disk driver writing to /dev/null, which asks for samples at a sound card's pace, so
// the mixing runs exactly as it would for a player. The tune is synthesized once, ahead,
// while the opening plays; the first seconds, while that runs, are not counted.
//
// Counter cpu_percent: CPU time of the whole process (the mixer's thread included) per
// wall-clock time; 100 is one core.
#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "audio/audio_engine.h"
#include "platform/sdl_mixer.h"

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + 1e-6 * double(t.tv_usec); };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One second of frames: a hit every 10 frames and a completed roll every 15.
void PlayOneSecond(vemol::AudioEngine& engine) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point next = Clock::now();
    for (int frame = 0; frame < 60; ++frame) {
        if (frame % 10 == 0) engine.PlaySoundSegment(vemol::Segment::Hit, vemol::DMUS_SEGF_SECONDARY);
        if (frame % 15 == 7) engine.PlaySoundSegment(vemol::Segment::Select, vemol::DMUS_SEGF_SECONDARY);
        next += std::chrono::microseconds(16667);
        std::this_thread::sleep_until(next);
    }
}

void BM_SoundDuringPlay(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    vemol::AudioEngine engine(vemol::platform::MakeSdlMixerDevice(), std::cerr);
    if (!engine.CreateAudioEngine() || !engine.LoadSounds(vemol::resources::Catalogue::embedded())) {
        state.SkipWithError("the sounds could not be loaded");
        return;
    }
    engine.StartMusic();
    for (int second = 0; second < 3; ++second) PlayOneSecond(engine);  // the tune is made meanwhile
    double cpu = 0.0, wall = 0.0;
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        PlayOneSecond(engine);
        cpu += ProcessCpuSeconds() - cpuBefore;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    }
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    engine.Shutdown();
}
BENCHMARK(BM_SoundDuringPlay)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
