// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The four WAVE effects and the tune: exact formats, clean edges, a seamless loop.
#include "resources/decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace vemol::resources::testing {
namespace {

struct ExpectedWave {
    const char* name;
    int channels, rate, bits;
    std::uint32_t dataBytes;
    std::size_t fileBytes;
};
const ExpectedWave kWaves[] = {
    {"HIT.WAV", 2, 22050, 16, 69828, 71844},
    {"MOVE.WAV", 1, 11025, 8, 1736, 1876},
    {"SELECT.WAV", 1, 22050, 16, 3724, 5708},
    {"START.WAV", 1, 22050, 8, 37760, 37804},
};

// Samples of all channels as values in [-1, 1].
std::vector<double> samples(Bytes data, int bits) {
    std::vector<double> out;
    if (bits == 8)
        for (std::uint8_t b : data) out.push_back((int(b) - 128) / 128.0);
    else
        for (std::size_t i = 0; i + 1 < data.size(); i += 2) out.push_back(std::int16_t(le16(data, i)) / 32768.0);
    return out;
}

TEST(SoundFormats, EveryWaveIsPcmWithItsCatalogueFormat) {
    for (const ExpectedWave& want : kWaves) {
        SCOPED_TRACE(want.name);
        Bytes b = mustFind("WAVE", want.name);
        EXPECT_EQ(b.size(), want.fileBytes);
        ASSERT_EQ(fourcc(b, 0), "RIFF");
        ASSERT_EQ(fourcc(b, 8), "WAVE");
        EXPECT_EQ(le32(b, 4), b.size() - 8);
        auto chunks = riffChunks(b, 12, b.size());
        auto find = [&](const char* id) {
            auto it = std::find_if(chunks.begin(), chunks.end(), [id](const Chunk& c) { return c.id == id; });
            if (it == chunks.end()) throw std::runtime_error(std::string("no chunk ") + id);
            return *it;
        };
        Chunk fmt = find("fmt "), data = find("data");
        ASSERT_GE(fmt.size, 16u);
        EXPECT_EQ(le16(b, fmt.offset), 1);  // PCM
        EXPECT_EQ(le16(b, fmt.offset + 2), want.channels);
        EXPECT_EQ(le32(b, fmt.offset + 4), std::uint32_t(want.rate));
        const int blockAlign = want.channels * want.bits / 8;
        EXPECT_EQ(le32(b, fmt.offset + 8), std::uint32_t(want.rate * blockAlign));
        EXPECT_EQ(le16(b, fmt.offset + 12), blockAlign);
        EXPECT_EQ(le16(b, fmt.offset + 14), want.bits);
        EXPECT_EQ(data.size, want.dataBytes);
    }
}

TEST(SoundFormats, EffectsAreAudibleUnclippedAndStartAndEndQuietly) {
    for (const ExpectedWave& want : kWaves) {
        SCOPED_TRACE(want.name);
        Bytes b = mustFind("WAVE", want.name);
        Bytes data = b.subspan(44, want.dataBytes);  // fmt is 16 bytes, so data starts at 44
        ASSERT_EQ(fourcc(b, 36), "data");
        std::vector<double> s = samples(data, want.bits);
        double peak = 0;
        int railHits = 0;
        for (double v : s) {
            peak = std::max(peak, std::abs(v));
            if (std::abs(v) >= 0.999) ++railHits;
        }
        EXPECT_GT(peak, 0.3);    // loud enough to hear over the music
        EXPECT_EQ(railHits, 0);  // never driven into the rails
        const double edge = want.bits == 8 ? 2.5 / 128 : 0.01;
        for (int c = 0; c < want.channels; ++c) {
            EXPECT_LT(std::abs(s[c]), edge) << "starts with a click";
            EXPECT_LT(std::abs(s[s.size() - want.channels + c]), edge) << "ends with a click";
        }
    }
}

class Tune : public ::testing::Test {
protected:
    MidiFile midi = decodeMidi(mustFind("MIDI", "bgm01.mid"));
    std::uint32_t loopEnd() const {
        std::uint32_t end = 0;
        for (const auto& t : midi.tracks) end = std::max(end, t.endTick);
        return end;
    }
};

TEST_F(Tune, IsFormatOneWith33TracksAt480TicksPerQuarter) {
    EXPECT_EQ(midi.format, 1);
    EXPECT_EQ(midi.trackCount, 33);
    EXPECT_EQ(midi.tracks.size(), 33u);
    EXPECT_EQ(midi.division, 480);
    for (const auto& t : midi.tracks) EXPECT_TRUE(t.endsWithEndOfTrack);
    ASSERT_FALSE(midi.tracks[0].tempos.empty());
    EXPECT_TRUE(midi.tracks[0].notes.empty());  // the first track holds tempo and metre only
}

TEST_F(Tune, LoopsOnABarLineWithNothingHangingOver) {
    const std::uint32_t end = loopEnd(), bar = std::uint32_t(midi.division * midi.beatsPerBar);
    ASSERT_GT(end, 0u);
    EXPECT_EQ(end % bar, 0u);
    EXPECT_GE(end / bar, 16u);  // long enough not to grate over ten minutes
    for (const auto& t : midi.tracks) {
        EXPECT_EQ(t.unmatchedNoteOns, 0);
        for (const MidiNote& n : t.notes) {
            EXPECT_LT(n.on, n.off);
            EXPECT_LE(n.off, end);
        }
    }
}

TEST_F(Tune, HasMelodyBassChordsAndDrums) {
    std::set<int> channels;
    int lowNotes = 0, drumHits = 0, chordOnsets = 0;
    std::map<std::pair<int, std::uint32_t>, int> onsets;
    for (const auto& t : midi.tracks)
        for (const MidiNote& n : t.notes) {
            channels.insert(n.channel);
            if (n.channel == 9)
                ++drumHits;
            else if (n.pitch < 48)
                ++lowNotes;
            if (n.channel != 9) ++onsets[{n.channel, n.on}];
        }
    for (auto& [key, count] : onsets) chordOnsets += count >= 3;
    EXPECT_GE(channels.size(), 4u);
    EXPECT_GT(drumHits, 100);
    EXPECT_GT(lowNotes, 100);
    EXPECT_GT(chordOnsets, 20);
}

}  // namespace
}  // namespace vemol::resources::testing
