// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "clip_builder.h"

#include <cstdlib>
#include <cstring>

namespace vemol::test {

namespace {

void Put32(ByteVector& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
}
void Put16(ByteVector& out, std::uint16_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void PutFourCc(ByteVector& out, const char* cc) {
    for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(cc[i]));
}

ByteVector Chunk(const char* id, const ByteVector& body) {
    ByteVector out;
    PutFourCc(out, id);
    Put32(out, std::uint32_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() & 1) out.push_back(0);
    return out;
}

ByteVector List(const char* type, const ByteVector& content) {
    ByteVector body;
    PutFourCc(body, type);
    body.insert(body.end(), content.begin(), content.end());
    return Chunk("LIST", body);
}

void Append(ByteVector& out, const ByteVector& more) { out.insert(out.end(), more.begin(), more.end()); }

ByteVector MainHeader(const ClipLayout& s) {
    ByteVector h;
    for (std::uint32_t v :
         {s.microSecondsPerFrame, 0u, 0u, 0x10u, std::uint32_t(s.frames.size()), 0u, s.audioStreamFirst ? 2u : 1u, 0u,
          std::uint32_t(s.width), std::uint32_t(std::abs(std::int64_t(s.height))), 0u, 0u, 0u, 0u})
        Put32(h, v);
    return Chunk("avih", h);
}

ByteVector StreamHeader(const char* type, std::uint32_t scale, std::uint32_t rate, std::uint32_t length) {
    ByteVector h;
    PutFourCc(h, type);
    Put32(h, 0);  // handler
    for (std::uint32_t v : {0u, 0u, 0u, scale, rate, 0u, length, 0u, 0xFFFFFFFFu, 0u}) Put32(h, v);
    for (int i = 0; i < 4; ++i) Put16(h, 0);  // rcFrame
    return Chunk("strh", h);
}

ByteVector VideoFormat(const ClipLayout& s) {
    ByteVector f;
    Put32(f, 40);
    Put32(f, std::uint32_t(s.width));
    Put32(f, std::uint32_t(s.height));
    Put16(f, 1);
    Put16(f, s.bitCount);
    Put32(f, s.compression);
    const auto coloursUsed = std::uint32_t(s.coloursUsed < 0 ? std::int64_t(s.palette.size()) : s.coloursUsed);
    for (std::uint32_t v : {0u, 0u, 0u, coloursUsed, 0u}) Put32(f, v);
    for (std::uint32_t c : s.palette) {
        f.push_back(std::uint8_t(c));
        f.push_back(std::uint8_t(c >> 8));
        f.push_back(std::uint8_t(c >> 16));
        f.push_back(0);
    }
    return Chunk("strf", f);
}

ByteVector AudioStreamList() {
    ByteVector format;
    for (std::uint16_t v : {1, 1}) Put16(format, v);  // PCM, mono
    Put32(format, 11025);
    Put32(format, 11025);
    for (std::uint16_t v : {1, 8, 0}) Put16(format, v);
    ByteVector content = StreamHeader("auds", 1, 11025, 0);
    Append(content, Chunk("strf", format));
    return List("strl", content);
}

}  // namespace

ByteVector BuildClip(const ClipLayout& s) {
    const std::string stream = s.audioStreamFirst ? "01" : "00";
    ByteVector header = MainHeader(s);
    if (s.audioStreamFirst) Append(header, AudioStreamList());
    ByteVector video = StreamHeader("vids", s.scale, s.rate, std::uint32_t(s.frames.size()));
    Append(video, VideoFormat(s));
    Append(header, List("strl", video));

    const std::string frameId = stream + (s.compression == 1 ? "dc" : "db");
    const std::string paletteId = stream + "pc";
    ByteVector movi, index;
    for (const ByteVector& frame : s.frames) {
        ByteVector group;
        if (s.paletteChanges) Append(group, Chunk(paletteId.c_str(), {0, 1, 0, 0, 9, 9, 9, 0}));
        if (s.audioStreamFirst) Append(group, Chunk("00wb", {0x80, 0x80, 0x80}));
        Append(group, Chunk(frameId.c_str(), frame));
        PutFourCc(index, frameId.c_str());
        for (std::uint32_t v : {0x10u, std::uint32_t(movi.size() + 4), std::uint32_t(frame.size())}) Put32(index, v);
        Append(movi, s.recLists ? List("rec ", group) : group);
    }

    ByteVector body;
    PutFourCc(body, "AVI ");
    Append(body, List("hdrl", header));
    Append(body, Chunk("JUNK", ByteVector(12, 0)));
    Append(body, List("movi", movi));
    Append(body, Chunk("idx1", index));
    return Chunk("RIFF", body);
}

ByteVector PackRows(const std::vector<ByteVector>& rowsTopDown, bool bottomUp) {
    ByteVector out;
    const std::size_t count = rowsTopDown.size();
    for (std::size_t i = 0; i < count; ++i) {
        const ByteVector& row = rowsTopDown[bottomUp ? count - 1 - i : i];
        out.insert(out.end(), row.begin(), row.end());
        out.resize(out.size() + (4 - row.size() % 4) % 4, 0xEE);  // padding the reader must skip
    }
    return out;
}

std::vector<std::uint32_t> TestPalette(int count) {
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < count; ++i) palette.push_back(std::uint32_t(i) << 16 | std::uint32_t(255 - i) << 8 | 7);
    return palette;
}

}  // namespace vemol::test
