// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/support/sound_bytes.h"

namespace vemol::test {
namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(std::uint8_t(value >> (8 * i)));
}

void PutBe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(std::uint8_t(value >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, const char* text) {
    while (*text) out.push_back(std::uint8_t(*text++));
}

}  // namespace

std::vector<std::uint8_t> NoiseWave(float seconds, int amplitude, std::uint32_t seed) {
    const std::uint32_t frames = std::uint32_t(seconds * 44100.0f);
    std::vector<std::uint8_t> wave;
    PutText(wave, "RIFF");
    PutLe(wave, 36 + frames * 2, 4);
    PutText(wave, "WAVEfmt ");
    PutLe(wave, 16, 4);
    PutLe(wave, 1, 2);  // PCM
    PutLe(wave, 1, 2);  // mono
    PutLe(wave, 44100, 4);
    PutLe(wave, 44100 * 2, 4);  // bytes per second
    PutLe(wave, 2, 2);          // bytes per frame
    PutLe(wave, 16, 2);
    PutText(wave, "data");
    PutLe(wave, frames * 2, 4);
    std::uint32_t state = seed;
    for (std::uint32_t i = 0; i < frames; ++i) {
        state = state * 1664525u + 1013904223u;
        const int sample = int(state >> 16) % (2 * amplitude + 1) - amplitude;
        PutLe(wave, std::uint32_t(std::int16_t(sample)) & 0xFFFF, 2);
    }
    return wave;
}

std::vector<std::uint8_t> RisingScaleMidi() {
    std::vector<std::uint8_t> track = {0x00, 0xC0, 0x00};  // piano on channel 1
    for (int note = 0; note < 16; ++note) {
        const std::uint8_t key = std::uint8_t(48 + 2 * note);
        track.insert(track.end(), {0x00, 0x90, key, 120});  // at once: note on, loud
        track.insert(track.end(), {0x60, 0x80, key, 0});    // 96 ticks later: off
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});  // end of track
    std::vector<std::uint8_t> midi;
    PutText(midi, "MThd");
    PutBe(midi, 6, 4);
    PutBe(midi, 1, 2);    // format 1
    PutBe(midi, 1, 2);    // one track
    PutBe(midi, 192, 2);  // ticks per beat; at the default 120 beats a minute, 96 ticks last 0.25 s
    PutText(midi, "MTrk");
    PutBe(midi, std::uint32_t(track.size()), 4);
    midi.insert(midi.end(), track.begin(), track.end());
    return midi;
}

TestSounds MakeTestSounds() {
    TestSounds sounds;
    sounds.files = {NoiseWave(0.2f, 5000, 1), NoiseWave(0.1f, 5000, 2), NoiseWave(0.25f, 6000, 3),
                    NoiseWave(0.1f, 5000, 4), RisingScaleMidi()};
    const char* names[] = {"START.WAV", "MOVE.WAV", "HIT.WAV", "SELECT.WAV", "BGM01.MID"};
    std::vector<resources::Entry> entries;
    for (std::size_t i = 0; i < sounds.files.size(); ++i) {
        entries.push_back({i < 4 ? "WAVE" : "MIDI", names[i], -1, sounds.files[i]});
    }
    sounds.catalogue = resources::Catalogue(std::move(entries));
    return sounds;
}

}  // namespace vemol::test
