// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Independent readers for the embedded file formats, so the tests check the bytes
// themselves rather than trusting the generator.
#include "resources/catalogue.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vemol::resources::testing {

std::uint16_t le16(Bytes b, std::size_t at);
std::uint32_t le32(Bytes b, std::size_t at);
std::string fourcc(Bytes b, std::size_t at);

Bytes mustFind(std::string_view type, std::string_view name);
Bytes mustFind(std::string_view type, int id);

struct Colour {
    std::uint8_t r, g, b;
    bool operator==(const Colour&) const = default;
};

// An 8-bit device-independent bitmap without file header.
struct Picture {
    int width = 0, height = 0;
    std::uint32_t headerSize = 0, compression = 0, coloursUsed = 0;
    int planes = 0, bitsPerPixel = 0;
    std::array<Colour, 256> palette{};
    bool paletteReservedZero = true;
    std::vector<std::uint8_t> index;  // top-down
    Colour at(int x, int y) const { return palette[index[std::size_t(y) * width + x]]; }
};
// Throws std::runtime_error on a malformed or truncated bitmap.
Picture decodePicture(Bytes bytes);

struct Chunk {
    std::string id;
    std::size_t offset;  // of the chunk's data
    std::uint32_t size;
};
// The chunks of a RIFF list body starting at `from`, up to `to`. Throws if one overruns.
std::vector<Chunk> riffChunks(Bytes bytes, std::size_t from, std::size_t to);

struct MidiNote {
    int channel, pitch;
    std::uint32_t on, off;
};
struct MidiTrackInfo {
    std::uint32_t endTick = 0;
    bool endsWithEndOfTrack = false;
    std::vector<MidiNote> notes;
    std::vector<std::uint32_t> tempos;
    int unmatchedNoteOns = 0;
};
struct MidiFile {
    int format = -1, trackCount = 0, division = 0;
    int beatsPerBar = 4;
    std::vector<MidiTrackInfo> tracks;
};
// Throws std::runtime_error when a chunk or event is malformed.
MidiFile decodeMidi(Bytes bytes);

}  // namespace vemol::resources::testing
