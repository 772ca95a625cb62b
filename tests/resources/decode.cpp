// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/decode.h"

#include <stdexcept>

namespace vemol::resources::testing {

std::uint16_t le16(Bytes b, std::size_t at) {
    if (at + 2 > b.size()) throw std::runtime_error("read past the end");
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}
std::uint32_t le32(Bytes b, std::size_t at) { return le16(b, at) | (std::uint32_t(le16(b, at + 2)) << 16); }
std::string fourcc(Bytes b, std::size_t at) {
    if (at + 4 > b.size()) throw std::runtime_error("read past the end");
    return std::string(reinterpret_cast<const char*>(b.data() + at), 4);
}

Bytes mustFind(std::string_view type, std::string_view name) {
    auto found = Catalogue::embedded().find(type, name);
    if (!found) throw std::runtime_error("resource missing: " + std::string(name));
    return *found;
}
Bytes mustFind(std::string_view type, int id) {
    auto found = Catalogue::embedded().find(type, id);
    if (!found) throw std::runtime_error("resource missing: " + std::to_string(id));
    return *found;
}

Picture decodePicture(Bytes b) {
    Picture p;
    p.headerSize = le32(b, 0);
    p.width = std::int32_t(le32(b, 4));
    p.height = std::int32_t(le32(b, 8));
    p.planes = le16(b, 12);
    p.bitsPerPixel = le16(b, 14);
    p.compression = le32(b, 16);
    p.coloursUsed = le32(b, 32);
    if (p.headerSize != 40 || p.bitsPerPixel != 8 || p.width <= 0 || p.height <= 0)
        throw std::runtime_error("not an 8-bit bottom-up bitmap");
    const std::size_t entries = p.coloursUsed ? p.coloursUsed : 256;
    const std::size_t stride = (std::size_t(p.width) + 3) / 4 * 4;
    const std::size_t pixels = 40 + 4 * entries;
    if (b.size() < pixels + stride * std::size_t(p.height)) throw std::runtime_error("bitmap truncated");
    for (std::size_t i = 0; i < entries && i < 256; ++i) {
        p.palette[i] = {b[40 + 4 * i + 2], b[40 + 4 * i + 1], b[40 + 4 * i]};
        p.paletteReservedZero &= b[40 + 4 * i + 3] == 0;
    }
    p.index.resize(std::size_t(p.width) * p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.index[std::size_t(y) * p.width + x] = b[pixels + stride * std::size_t(p.height - 1 - y) + x];
    return p;
}

std::vector<Chunk> riffChunks(Bytes b, std::size_t from, std::size_t to) {
    std::vector<Chunk> chunks;
    std::size_t at = from;
    while (at + 8 <= to) {
        Chunk c{fourcc(b, at), at + 8, le32(b, at + 4)};
        if (c.offset + c.size > to) throw std::runtime_error("chunk " + c.id + " overruns its list");
        chunks.push_back(c);
        at = c.offset + c.size + (c.size & 1);
    }
    if (at != to) throw std::runtime_error("list ends inside a chunk header");
    return chunks;
}

namespace {

std::uint32_t be32(Bytes b, std::size_t at) {
    if (at + 4 > b.size()) throw std::runtime_error("read past the end");
    return (std::uint32_t(b[at]) << 24) | (std::uint32_t(b[at + 1]) << 16) | (std::uint32_t(b[at + 2]) << 8) |
           b[at + 3];
}
std::uint32_t be16(Bytes b, std::size_t at) { return be32(b, at) >> 16; }

std::uint32_t readVariable(Bytes b, std::size_t& at, std::size_t end) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= end) throw std::runtime_error("variable-length number runs off the track");
        std::uint8_t byte = b[at++];
        v = (v << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) return v;
    }
    throw std::runtime_error("variable-length number longer than four bytes");
}

MidiTrackInfo decodeTrack(Bytes b, std::size_t at, std::size_t end, int& beatsPerBar) {
    MidiTrackInfo t;
    std::uint32_t tick = 0;
    std::uint8_t status = 0;
    std::map<std::pair<int, int>, std::vector<std::uint32_t>> sounding;
    while (at < end) {
        if (t.endsWithEndOfTrack) throw std::runtime_error("events after the end of the track");
        tick += readVariable(b, at, end);
        if (at >= end) throw std::runtime_error("event runs off the track");
        if (b[at] & 0x80)
            status = b[at++];
        else if (!status)
            throw std::runtime_error("running status without a status");
        if (status == 0xFF) {
            std::uint8_t type = b[at++];
            std::uint32_t length = readVariable(b, at, end);
            if (at + length > end) throw std::runtime_error("meta event runs off the track");
            if (type == 0x2F) t.endsWithEndOfTrack = true, t.endTick = tick;
            if (type == 0x51 && length == 3) t.tempos.push_back((b[at] << 16) | (b[at + 1] << 8) | b[at + 2]);
            if (type == 0x58 && length >= 1) beatsPerBar = b[at];
            at += length;
            status = 0;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            at += readVariable(b, at, end);
            status = 0;
            continue;
        }
        const int kind = status & 0xF0, channel = status & 0x0F;
        const int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (at + dataBytes > end) throw std::runtime_error("channel event runs off the track");
        const int pitch = b[at], velocity = dataBytes == 2 ? b[at + 1] : 0;
        at += dataBytes;
        if (kind == 0x90 && velocity > 0) {
            sounding[{channel, pitch}].push_back(tick);
        } else if (kind == 0x80 || kind == 0x90) {
            auto& starts = sounding[{channel, pitch}];
            if (starts.empty()) continue;
            t.notes.push_back({channel, pitch, starts.front(), tick});
            starts.erase(starts.begin());
        }
    }
    for (auto& [key, starts] : sounding) t.unmatchedNoteOns += int(starts.size());
    return t;
}

}  // namespace

MidiFile decodeMidi(Bytes b) {
    MidiFile m;
    if (fourcc(b, 0) != "MThd" || be32(b, 4) != 6) throw std::runtime_error("no MIDI header");
    m.format = int(be16(b, 8));
    m.trackCount = int(be16(b, 10));
    m.division = int(be16(b, 12));
    std::size_t at = 14;
    while (at < b.size()) {
        const std::string id = fourcc(b, at);
        const std::uint32_t size = be32(b, at + 4);
        if (at + 8 + size > b.size()) throw std::runtime_error("track chunk overruns the file");
        if (id == "MTrk") m.tracks.push_back(decodeTrack(b, at + 8, at + 8 + size, m.beatsPerBar));
        at += 8 + size;
    }
    return m;
}

}  // namespace vemol::resources::testing
