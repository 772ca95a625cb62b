// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's bookkeeping over a recording device: what reaches the device, in which
// order, and what is said when something is missing.
#include "audio/audio_engine.h"

#include <gtest/gtest.h>

#include <sstream>

#include "audio/support/sound_bytes.h"

namespace vemol {
namespace {

struct Journal {
    std::vector<std::string> calls;
    int liveClips = 0;
    bool failMidi = false;
};

class RecordedClip : public AudioClip {
public:
    RecordedClip(Journal& journal, std::string name) : journal_(journal), name(std::move(name)) {
        ++journal_.liveClips;
    }
    ~RecordedClip() override { --journal_.liveClips; }
    Journal& journal_;
    std::string name;
};

// The journal outlives the device, which the engine lets go of at the shutdown.
class RecordingDevice : public AudioDevice {
public:
    explicit RecordingDevice(Journal& journal) : journal_(journal) {}
    bool open(int) override { return log("open"), true; }
    std::unique_ptr<AudioClip> loadEffect(resources::Bytes wave) override {
        return std::make_unique<RecordedClip>(journal_, "effect" + std::to_string(wave.size()));
    }
    std::unique_ptr<AudioClip> loadMidi(resources::Bytes) override {
        if (journal_.failMidi) return nullptr;
        return std::make_unique<RecordedClip>(journal_, "tune");
    }
    void playEffect(AudioClip& clip) override { log("effect"), (void)clip; }
    void playMusic(AudioClip&, bool loop) override { log(loop ? "tune looped" : "tune once"); }
    void stop(AudioClip& clip) override { log("stop " + static_cast<RecordedClip&>(clip).name); }
    void stopAll() override { log("stop all"); }
    void close() override { log("close with " + std::to_string(journal_.liveClips) + " clips"); }
    std::string error() const override { return "no SoundFont"; }

private:
    void log(std::string call) { journal_.calls.push_back(std::move(call)); }
    Journal& journal_;
};

struct Engine : ::testing::Test {
    Journal journal;
    test::TestSounds sounds = test::MakeTestSounds();
    std::ostringstream problems;
    AudioEngine engine{std::make_unique<RecordingDevice>(journal), problems};
};

TEST_F(Engine, ShutdownFreesEveryClipBeforeClosingAndASecondOneDoesNothing) {
    ASSERT_TRUE(engine.CreateAudioEngine());
    ASSERT_TRUE(engine.LoadSounds(sounds.catalogue));
    ASSERT_TRUE(engine.LoadSounds(sounds.catalogue));  // loading again replaces, never leaks
    EXPECT_EQ(journal.liveClips, 5);
    engine.StartMusic();
    engine.Shutdown();
    engine.Shutdown();
    engine.PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
    EXPECT_EQ(journal.liveClips, 0);
    EXPECT_EQ(journal.calls.back(), "close with 0 clips");
    EXPECT_EQ(std::count(journal.calls.begin(), journal.calls.end(), "close with 0 clips"), 1);
}

TEST_F(Engine, AMissingTuneOrEffectIsSilentAndSaidOnceInOneLine) {
    journal.failMidi = true;
    std::vector<resources::Entry> entries = sounds.catalogue.entries();
    entries.erase(entries.begin() + 2);  // HIT.WAV
    const resources::Catalogue withoutHit(entries);
    ASSERT_TRUE(engine.CreateAudioEngine());
    EXPECT_FALSE(engine.LoadSounds(withoutHit));
    EXPECT_FALSE(engine.LoadSounds(withoutHit));

    journal.calls.clear();
    engine.StartMusic();
    engine.PlaySoundSegment(Segment::Hit, DMUS_SEGF_SECONDARY);
    engine.StopSoundSegment(Segment::Music);
    engine.PlaySoundSegment(Segment::Select, DMUS_SEGF_SECONDARY);
    EXPECT_EQ(journal.calls, std::vector<std::string>{"effect"});
    EXPECT_EQ(problems.str(),
              "vemol: no sound HIT.WAV (it is not in the program); no music (no SoundFont); "
              "the game goes on without it.\n");
}

TEST_F(Engine, TheTunePlaysOnceUntilAGameStartsItThenLoopsEveryTime) {
    ASSERT_TRUE(engine.CreateAudioEngine());
    ASSERT_TRUE(engine.LoadSounds(sounds.catalogue));
    journal.calls.clear();
    engine.PlaySoundSegment(Segment::Music, 0);
    engine.StartMusic();
    engine.PlaySoundSegment(Segment::Move, DMUS_SEGF_SECONDARY);
    engine.StopSoundSegment(Segment::Music);
    engine.StartMusic();
    EXPECT_EQ(journal.calls,
              (std::vector<std::string>{"tune once", "tune looped", "effect", "stop tune", "tune looped"}));
}

}  // namespace
}  // namespace vemol
