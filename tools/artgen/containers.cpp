// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/artgen/containers.h"

#include "tools/artgen/bytes.h"

#include <algorithm>
#include <cmath>

namespace artgen {

std::vector<std::uint8_t> encodeWave(WaveFormat f, const std::vector<float>& samples, std::size_t totalSize) {
    ByteWriter data;
    for (float s : samples) {
        float v = std::clamp(s, -1.0f, 1.0f);
        if (f.bits == 8)
            data.u8(std::uint32_t(std::lround(v * 127.0f) + 128));
        else
            data.u16le(std::uint32_t(std::int32_t(std::lround(v * 32767.0f))) & 0xFFFF);
    }
    const int blockAlign = f.channels * f.bits / 8;
    ByteWriter w;
    w.tag("RIFF");
    w.u32le(0);
    w.tag("WAVE");
    w.tag("fmt ");
    w.u32le(16);
    w.u16le(1);  // PCM
    w.u16le(std::uint32_t(f.channels));
    w.u32le(std::uint32_t(f.sampleRate));
    w.u32le(std::uint32_t(f.sampleRate * blockAlign));
    w.u16le(std::uint32_t(blockAlign));
    w.u16le(std::uint32_t(f.bits));
    w.tag("data");
    w.u32le(std::uint32_t(data.size()));
    w.append(data.bytes());
    if (data.size() % 2) w.u8(0);
    // LIST(4) size(4) INFO(4) ICMT(4) size(4) is the least an INFO list can be.
    if (totalSize >= w.size() + 20) {
        std::size_t text = totalSize - w.size() - 20;
        w.tag("LIST");
        w.u32le(std::uint32_t(text + 12));
        w.tag("INFO");
        w.tag("ICMT");
        w.u32le(std::uint32_t(text));
        std::string comment = "Vemol sound effect";
        for (std::size_t i = 0; i < text; ++i) w.u8(i < comment.size() ? std::uint8_t(comment[i]) : 0);
    }
    w.patch32le(4, std::uint32_t(w.size() - 8));
    return w.take();
}

namespace {
void writeVariableLength(ByteWriter& w, std::uint32_t v) {
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = v & 0x7F;
        v >>= 7;
    } while (v);
    while (n--) w.u8(groups[n] | (n ? 0x80 : 0));
}
}  // namespace

std::vector<std::uint8_t> encodeMidi(int division, const std::vector<MidiTrack>& tracks) {
    ByteWriter w;
    w.tag("MThd");
    w.u32be(6);
    w.u16be(1);
    w.u16be(std::uint32_t(tracks.size()));
    w.u16be(std::uint32_t(division));
    for (const MidiTrack& track : tracks) {
        std::vector<MidiEvent> events = track.events;
        std::stable_sort(events.begin(), events.end(),
                         [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
        ByteWriter body;
        std::uint32_t now = 0;
        for (const MidiEvent& e : events) {
            writeVariableLength(body, e.tick - now);
            now = e.tick;
            for (auto b : e.data) body.u8(b);
        }
        writeVariableLength(body, std::max(track.endTick, now) - now);
        body.u8(0xFF), body.u8(0x2F), body.u8(0x00);
        w.tag("MTrk");
        w.u32be(std::uint32_t(body.size()));
        w.append(body.bytes());
    }
    return w.take();
}

namespace {
void writeBitmapInfoHeader(ByteWriter& w, int width, int height, int bits, std::uint32_t imageBytes, int coloursUsed) {
    w.u32le(40);
    w.i32le(width);
    w.i32le(height);
    w.u16le(1);
    w.u16le(std::uint32_t(bits));
    w.u32le(0);  // BI_RGB
    w.u32le(imageBytes);
    w.i32le(0);
    w.i32le(0);
    w.u32le(std::uint32_t(coloursUsed));
    w.u32le(0);
}
void writePalette(ByteWriter& w, const std::vector<Rgb8>& palette) {
    for (Rgb8 c : palette) w.u8(c.b), w.u8(c.g), w.u8(c.r), w.u8(0);
}
}  // namespace

std::vector<std::uint8_t> encodeAvi(const Movie& m, std::size_t totalSize) {
    const std::uint32_t frameBytes = std::uint32_t((m.width + 3) / 4 * 4 * m.height);
    const std::uint32_t frames = std::uint32_t(m.frames.size());
    ByteWriter w;
    w.tag("RIFF");
    w.u32le(0);
    w.tag("AVI ");

    w.tag("LIST");
    std::size_t hdrlSize = w.size();
    w.u32le(0);
    w.tag("hdrl");
    w.tag("avih");
    w.u32le(56);
    w.u32le(std::uint32_t(m.microsecondsPerFrame));
    w.u32le(std::uint32_t(std::uint64_t(frameBytes) * m.rate / m.scale));  // max bytes per second
    w.u32le(0);
    w.u32le(0x10);  // AVIF_HASINDEX
    w.u32le(frames);
    w.u32le(0);
    w.u32le(1);  // one stream
    w.u32le(frameBytes);
    w.u32le(std::uint32_t(m.width));
    w.u32le(std::uint32_t(m.height));
    w.zeros(16);

    w.tag("LIST");
    std::size_t strlSize = w.size();
    w.u32le(0);
    w.tag("strl");
    w.tag("strh");
    w.u32le(56);
    w.tag("vids");
    w.tag("DIB ");
    w.u32le(0);  // flags
    w.u32le(0);  // priority and language
    w.u32le(0);  // initial frames
    w.u32le(std::uint32_t(m.scale));
    w.u32le(std::uint32_t(m.rate));
    w.u32le(0);  // start
    w.u32le(frames);
    w.u32le(frameBytes);
    w.u32le(0xFFFFFFFFu);  // default quality
    w.u32le(0);            // sample size: frames vary in principle
    w.u16le(0), w.u16le(0), w.u16le(std::uint32_t(m.width)), w.u16le(std::uint32_t(m.height));
    w.tag("strf");
    w.u32le(std::uint32_t(40 + 4 * m.palette.size()));
    writeBitmapInfoHeader(w, m.width, m.height, 8, frameBytes, int(m.palette.size()));
    writePalette(w, m.palette);
    w.patch32le(strlSize, std::uint32_t(w.size() - strlSize - 4));
    w.patch32le(hdrlSize, std::uint32_t(w.size() - hdrlSize - 4));

    // The bare file is everything so far, the movie list and the index.
    const std::size_t moviBytes = 12 + std::size_t(frames) * (8 + frameBytes);
    const std::size_t indexBytes = 8 + 16 * std::size_t(frames);
    const std::size_t bare = w.size() + moviBytes + indexBytes;
    if (totalSize >= bare + 8) {
        w.tag("JUNK");
        w.u32le(std::uint32_t(totalSize - bare - 8));
        w.zeros(totalSize - bare - 8);
    }

    w.tag("LIST");
    w.u32le(std::uint32_t(moviBytes - 8));
    std::size_t moviTag = w.size();
    w.tag("movi");
    std::vector<std::uint32_t> offsets;
    for (const auto& frame : m.frames) {
        offsets.push_back(std::uint32_t(w.size() - moviTag));
        w.tag("00db");
        w.u32le(frameBytes);
        for (int y = m.height - 1; y >= 0; --y) {
            for (int x = 0; x < m.width; ++x) w.u8(frame[std::size_t(y) * m.width + x]);
            w.zeros(std::size_t((m.width + 3) / 4 * 4 - m.width));
        }
    }
    w.tag("idx1");
    w.u32le(16 * frames);
    for (std::uint32_t offset : offsets) {
        w.tag("00db");
        w.u32le(0x10);  // AVIIF_KEYFRAME: every frame stands alone
        w.u32le(offset);
        w.u32le(frameBytes);
    }
    w.patch32le(4, std::uint32_t(w.size() - 8));
    return w.take();
}

std::vector<std::uint8_t> encodeIconImage(const std::vector<Rgb8>& palette16, const std::vector<std::uint8_t>& pixels,
                                          const std::vector<bool>& transparent) {
    ByteWriter w;
    writeBitmapInfoHeader(w, 32, 64, 4, 512 + 128, 0);
    std::vector<Rgb8> palette = palette16;
    palette.resize(16);
    writePalette(w, palette);
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 2) {
            std::size_t i = std::size_t(y) * 32 + x;
            // Transparent pixels carry colour 0 (black), which the mask makes see-through.
            std::uint8_t hi = transparent[i] ? 0 : pixels[i];
            std::uint8_t lo = transparent[i + 1] ? 0 : pixels[i + 1];
            w.u8(std::uint32_t((hi << 4) | (lo & 0xF)));
        }
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 8) {
            std::uint32_t bits = 0;
            for (int b = 0; b < 8; ++b)
                if (transparent[std::size_t(y) * 32 + x + b]) bits |= 0x80u >> b;
            w.u8(bits);
        }
    return w.take();
}

std::vector<std::uint8_t> encodeIconGroup(std::uint32_t imageBytes, int imageId) {
    ByteWriter w;
    w.u16le(0);
    w.u16le(1);  // icons
    w.u16le(1);  // one entry
    w.u8(32), w.u8(32), w.u8(16), w.u8(0);
    w.u16le(1);  // planes
    w.u16le(4);  // bits per pixel
    w.u32le(imageBytes);
    w.u16le(std::uint32_t(imageId));
    return w.take();
}

}  // namespace artgen
