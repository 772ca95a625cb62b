// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Without a working audio output or without a SoundFont the game plays on, silent
// where it must, and says once what is missing.
#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <thread>

#include "audio/audio_engine.h"
#include "audio/support/disk_capture.h"
#include "audio/support/sound_bytes.h"
#include "platform/sdl_mixer.h"

namespace vemol {
namespace {

int Lines(const std::string& text) { return int(std::count(text.begin(), text.end(), '\n')); }

// Everything a game does with sound, from the title menu to the quit.
void PlayAGame(AudioEngine& engine) {
    engine.PlaySoundSegment(Segment::Move, DMUS_SEGF_SECONDARY);
    engine.PlaySoundSegment(Segment::Start, DMUS_SEGF_SECONDARY);
    engine.StartMusic();
    engine.PlaySoundSegment(Segment::Select, DMUS_SEGF_SECONDARY);
    engine.PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
    engine.StopSoundSegment(Segment::Music);
    engine.Shutdown();
    engine.Shutdown();
}

struct SilentPath : ::testing::Test {
    void SetUp() override { unsetenv("SDL_SOUNDFONTS"); }
    void TearDown() override { unsetenv("SDL_SOUNDFONTS"); }
    test::TestSounds sounds = test::MakeTestSounds();
    std::ostringstream problems;
};

TEST_F(SilentPath, DummyDriverPlaysEverythingQuietlyAndLeavesSignalsAlone) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    AudioEngine engine(platform::MakeSdlMixerDevice(), problems);
    EXPECT_TRUE(engine.CreateAudioEngine());
    EXPECT_TRUE(engine.LoadSounds(sounds.catalogue));
    // Ctrl+C and SIGTERM must still end the game.
    struct sigaction action {};
    sigaction(SIGTERM, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
    sigaction(SIGINT, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
    PlayAGame(engine);
    EXPECT_EQ(problems.str(), "");
}

TEST_F(SilentPath, AnOutputThatCannotOpenLeavesTheGameSilentWithOneLineSaid) {
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    AudioEngine engine(platform::MakeSdlMixerDevice(), problems);
    EXPECT_FALSE(engine.CreateAudioEngine());
    EXPECT_FALSE(engine.CreateAudioEngine());
    EXPECT_FALSE(engine.LoadSounds(sounds.catalogue));
    EXPECT_FALSE(engine.isSegmentLoaded(Segment::Hit));
    PlayAGame(engine);
    EXPECT_EQ(Lines(problems.str()), 1) << problems.str();
    EXPECT_NE(problems.str().find("no sound"), std::string::npos) << problems.str();
}

TEST_F(SilentPath, ASoundCardThatIsMissingIsSaidInOurOneLineOnly) {
    setenv("SDL_AUDIODRIVER", "alsa", 1);  // on a machine with a card, this one opens
    ::testing::internal::CaptureStderr();
    {
        AudioEngine engine(platform::MakeSdlMixerDevice(), std::cerr);
        if (engine.CreateAudioEngine()) engine.LoadSounds(sounds.catalogue);
        PlayAGame(engine);
    }
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_LE(Lines(said), 1) << said;
    EXPECT_EQ(said.find("ALSA lib"), std::string::npos) << said;
}

TEST_F(SilentPath, WithoutASoundFontTheTuneIsAbsentButEffectsAreHeard) {
    test::DiskCapture capture;
    setenv("SDL_SOUNDFONTS", "/nonexistent/vemol-test.sf2", 1);
    AudioEngine engine(platform::MakeSdlMixerDevice(), problems);
    ASSERT_TRUE(engine.CreateAudioEngine());
    EXPECT_FALSE(engine.LoadSounds(sounds.catalogue));
    EXPECT_FALSE(engine.isSegmentLoaded(Segment::Music));
    EXPECT_TRUE(engine.isSegmentLoaded(Segment::Hit));
    engine.StartMusic();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::size_t hit = capture.mark();
    engine.PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    engine.Shutdown();

    const std::vector<float> heard = capture.samples();
    EXPECT_EQ(test::Rms(heard, 0, hit), 0.0);
    EXPECT_GT(test::Rms(heard, hit, heard.size()), 300.0);
    // One line, naming the real cause rather than SDL_mixer's timidity.cfg fallback.
    const std::string said = problems.str();
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("SDL_SOUNDFONTS"), std::string::npos) << said;
    EXPECT_EQ(said.find("timidity"), std::string::npos) << said;
}

}  // namespace
}  // namespace vemol
