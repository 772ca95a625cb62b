// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The tune made ahead into samples, read the way the mixer reads it: a buffer at a time.
#include "platform/rendered_tune.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/soundfont.h"
#include "audio/support/sound_bytes.h"

namespace vemol {
namespace {

using platform::RenderedTune;

constexpr int kBufferFrames = 1024;

// `frames` stereo frames as the mixer would take them, one buffer of silence at a time.
std::vector<std::int16_t> Take(RenderedTune& tune, std::size_t frames) {
    std::vector<std::int16_t> heard((frames + kBufferFrames) * 2, 0);
    for (std::size_t at = 0; at < frames; at += kBufferFrames) tune.fill(&heard[at * 2], kBufferFrames);
    heard.resize(frames * 2);
    return heard;
}

bool Silent(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (samples[i] != 0) return false;
    }
    return true;
}

class RenderedTuneTest : public ::testing::Test {
protected:
    std::vector<std::uint8_t> midi = test::RisingScaleMidi();
    RenderedTune tune{midi, ChooseSoundFont().paths, {44100, 2, 0.6f}};
};

TEST_F(RenderedTuneTest, LoopsWithoutAGapAndEveryStartIsTheBeginning) {
    ASSERT_TRUE(tune.ok()) << tune.error();
    const std::size_t length = tune.waitUntilMade();
    ASSERT_GT(length, std::size_t(44100 * 3));  // the scale lasts four seconds
    tune.play(true);
    const std::vector<std::int16_t> heard = Take(tune, length + 4 * kBufferFrames);
    EXPECT_FALSE(Silent(heard, 0, 44100));
    for (std::size_t i = 0; i < 4 * kBufferFrames * 2; ++i) ASSERT_EQ(heard[length * 2 + i], heard[i]) << i;

    tune.stop();
    EXPECT_TRUE(Silent(Take(tune, kBufferFrames), 0, kBufferFrames * 2));
    tune.play(true);
    const std::vector<std::int16_t> again = Take(tune, 4 * kBufferFrames);
    EXPECT_TRUE(std::equal(again.begin(), again.end(), heard.begin()));
}

TEST_F(RenderedTuneTest, PlayedOnceItFallsSilentAtItsEnd) {
    const std::size_t length = tune.waitUntilMade();
    tune.play(false);
    const std::vector<std::int16_t> heard = Take(tune, length + 8 * kBufferFrames);
    EXPECT_FALSE(Silent(heard, 0, 44100));
    EXPECT_TRUE(Silent(heard, length * 2, heard.size()));
}

TEST(RenderedTune, BytesThatAreNoMidiFileAreRefusedWithAReason) {
    const std::vector<std::uint8_t> wave = test::NoiseWave(0.1f, 1000, 1);
    RenderedTune tune(wave, ChooseSoundFont().paths, {});
    EXPECT_FALSE(tune.ok());
    EXPECT_EQ(tune.waitUntilMade(), 0u);
    EXPECT_NE(tune.error().find("MIDI"), std::string::npos) << tune.error();
}

}  // namespace
}  // namespace vemol
