// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The engine over the real SDL2_mixer device, heard through SDL's disk driver.
#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <sstream>
#include <thread>

#include "audio/audio_engine.h"
#include "audio/support/disk_capture.h"
#include "audio/support/sound_bytes.h"
#include "platform/sdl_mixer.h"

namespace vemol {
namespace {

using test::Frames;
using test::Rms;

void Wait(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

// Normalised correlation of two stretches of `length` samples, best over small shifts.
double BestCorrelation(const std::vector<float>& s, std::size_t a, std::size_t b, std::size_t length) {
    double best = 0.0;
    for (int shift = -64; shift <= 64; ++shift) {
        double ab = 0.0, aa = 0.0, bb = 0.0;
        for (std::size_t i = 0; i < length; ++i) {
            const double x = s.at(a + i), y = s.at(std::size_t(std::int64_t(b + i) + shift));
            ab += x * y, aa += x * x, bb += y * y;
        }
        if (aa > 0.0 && bb > 0.0) best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

class HeardSound : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("SDL_SOUNDFONTS");
        ASSERT_TRUE(engine.CreateAudioEngine());
        ASSERT_TRUE(engine.LoadSounds(sounds.catalogue)) << problems.str();
    }
    // The whole recording, once the output is closed.
    std::vector<float> Finish() {
        engine.Shutdown();
        return capture.samples();
    }

    test::DiskCapture capture;  // first: it points SDL at the file before anything opens
    test::TestSounds sounds = test::MakeTestSounds();
    std::ostringstream problems;
    AudioEngine engine{platform::MakeSdlMixerDevice(), problems};
};

TEST_F(HeardSound, MusicPlaysUnderEffectsAndFallsSilentAtOnceWhenStopped) {
    const std::size_t started = capture.mark();
    engine.StartMusic();
    Wait(0.4);
    const std::size_t hit = capture.mark();
    engine.PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
    Wait(0.6);
    const std::size_t stopped = capture.mark();
    engine.StopSoundSegment(Segment::Music);
    Wait(0.3);
    const std::vector<float> heard = Finish();

    EXPECT_GT(Rms(heard, started + Frames(0.1), hit), 300.0);
    // After the hit has died away (0.25 s) the tune is still playing.
    EXPECT_GT(Rms(heard, hit + Frames(0.4), stopped), 300.0);
    // A mixing buffer, plus what stdio held back, may still carry the tune.
    EXPECT_EQ(Rms(heard, stopped + Frames(0.08), heard.size()), 0.0);
    EXPECT_GT(heard.size(), stopped + Frames(0.2));
    EXPECT_EQ(problems.str(), "");
}

TEST_F(HeardSound, TwoQuickHitsOverlapInsteadOfCuttingEachOffAndANewGameRestartsTheTune) {
    const std::size_t pair = capture.mark();
    engine.PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
    Wait(0.06);
    engine.PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
    Wait(0.95);  // both copies die away inside the window, whatever the timing jitter
    const std::size_t single = capture.mark();
    engine.PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
    Wait(0.95);

    const std::size_t firstGame = capture.mark();
    engine.StartMusic();
    Wait(0.9);
    engine.StopSoundSegment(Segment::Music);
    Wait(0.2);
    const std::size_t secondGame = capture.mark();
    engine.StartMusic();
    Wait(0.9);
    const std::vector<float> heard = Finish();

    // Two whole copies carry about twice the energy of one (give or take how the two
    // interfere); a second hit that cut the first short would add only the 0.06 s the
    // first had played. Energy, not mean power: the windows differ in length.
    const double pairEnergy = std::pow(Rms(heard, pair, single), 2) * double(single - pair);
    const double singleEnergy = std::pow(Rms(heard, single, firstGame), 2) * double(firstGame - single);
    EXPECT_GT(pairEnergy, 1.45 * singleEnergy);
    EXPECT_LT(pairEnergy, 2.6 * singleEnergy);

    // The second game hears the same opening as the first, not where the tune had got to.
    const std::size_t first = test::Onset(heard, firstGame);
    const std::size_t second = test::Onset(heard, secondGame);
    EXPECT_GT(BestCorrelation(heard, first, second, Frames(0.5)), 0.95);
    EXPECT_GT(Rms(heard, second, second + Frames(0.5)), 300.0);
}

TEST_F(HeardSound, TheProgramsOwnTuneAndEffectsAreHeardAndTheTuneLeavesRoomForEffects) {
    ASSERT_TRUE(engine.LoadSounds(resources::Catalogue::embedded())) << problems.str();
    const std::size_t started = capture.mark();
    engine.StartMusic();
    Wait(0.8);
    const std::size_t stopped = capture.mark();
    engine.StopSoundSegment(Segment::Music);
    Wait(0.1);
    std::vector<std::size_t> effects;
    // Each one dies away before the next starts, except the long start jingle, last.
    for (Segment effect : {Segment::Move, Segment::Select, Segment::Hit, Segment::Start}) {
        effects.push_back(capture.mark());
        engine.PlaySoundSegment(effect, DMUS_SEGF_SECONDARY);
        Wait(effect == Segment::Hit ? 0.85 : 0.25);
    }
    const std::vector<float> heard = Finish();

    EXPECT_GT(Rms(heard, started + Frames(0.1), stopped), 300.0);
    float tunePeak = 0.0f;
    for (std::size_t i = started; i < stopped; ++i) tunePeak = std::max(tunePeak, std::abs(heard[i]));
    EXPECT_LT(tunePeak, 0.75f * 32767.0f);
    for (std::size_t i = 0; i < effects.size(); ++i) {
        EXPECT_GT(Rms(heard, effects[i], effects[i] + Frames(0.25)), 300.0) << "effect " << i;
    }
}

TEST_F(HeardSound, ShutdownTwiceLeavesNoAudioObjectAlive) {
    engine.StartMusic();
    engine.PlaySoundSegment(Segment::Start, DMUS_SEGF_SECONDARY);
    Wait(0.1);
    engine.Shutdown();
    engine.Shutdown();
    for (Segment segment : {Segment::Start, Segment::Move, Segment::Hit, Segment::Select, Segment::Music}) {
        EXPECT_FALSE(engine.isSegmentLoaded(segment));
    }
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    EXPECT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 0);  // the mixer is closed
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    engine.PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);  // the game may still call
    engine.StartMusic();
    EXPECT_FALSE(engine.CreateAudioEngine());
}

}  // namespace
}  // namespace vemol
