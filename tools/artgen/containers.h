// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sound, music, movie, icon and PNG file formats, written byte by byte.
#include "tools/artgen/palette.h"

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

struct WaveFormat {
    int channels, sampleRate, bits;
};
// A RIFF WAVE file of PCM samples. Samples are interleaved floats in [-1, 1]; 8-bit
// data is written unsigned, 16-bit signed. When totalSize is larger than the bare file
// an INFO list with a comment fills the difference.
std::vector<std::uint8_t> encodeWave(WaveFormat format, const std::vector<float>& samples, std::size_t totalSize = 0);

struct MidiEvent {
    std::uint32_t tick;
    std::vector<std::uint8_t> data;  // status byte and data, or FF type len ... for meta
};
struct MidiTrack {
    std::vector<MidiEvent> events;  // any order; sorted stably by tick when written
    std::uint32_t endTick = 0;      // where the end-of-track event goes
};
// A format-1 Standard MIDI File.
std::vector<std::uint8_t> encodeMidi(int division, const std::vector<MidiTrack>& tracks);

struct Movie {
    int width, height;
    int microsecondsPerFrame;
    int rate, scale;                                // frames per second as rate / scale
    std::vector<Rgb8> palette;                      // written as the format's colour table
    std::vector<std::vector<std::uint8_t>> frames;  // top-down rows of palette indices
};
// An uncompressed 8-bit RIFF AVI with one video stream and an index; padded with a JUNK
// chunk to totalSize when that is larger than the bare file.
std::vector<std::uint8_t> encodeAvi(const Movie& movie, std::size_t totalSize = 0);

// A 32 x 32, 16-colour icon image (header with doubled height, palette, colour rows,
// mask rows) and the one-entry group directory that points at it.
std::vector<std::uint8_t> encodeIconImage(const std::vector<Rgb8>& palette16, const std::vector<std::uint8_t>& pixels,
                                          const std::vector<bool>& transparent);
std::vector<std::uint8_t> encodeIconGroup(std::uint32_t imageBytes, int imageId);

struct RgbaImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;  // top-down rows, four bytes a pixel, straight alpha
};
// An 8-bit RGBA PNG with no metadata, written by libpng; empty when libpng fails. Its
// bytes may change with the zlib build, its pixels never.
std::vector<std::uint8_t> encodePng(const RgbaImage& image);

}  // namespace artgen
