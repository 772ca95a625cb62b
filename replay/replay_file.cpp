// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The replay file, all integers little-endian:
//   "VEMOLRPL", format version (u16), rules version (u16), then blocks, each a four-letter
//   tag, its length (u32) and that many bytes:
//   HEAD  seed (u32), best score shown (i32), final score (i32), frames (u32), length of
//         the values read before compression (u32)
//   EVNT  the values read (events.h), compressed with zstd
// Blocks of other tags are skipped, so a later version of the same format may add some.
#include <zstd.h>

#include <array>
#include <cmath>
#include <cstring>
#include <new>

#include "replay/events.h"
#include "replay/replay.h"

namespace vemol::replay {

namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'V', 'E', 'M', 'O', 'L', 'R', 'P', 'L'};
constexpr std::uint16_t kFormatVersion = 1;
constexpr std::size_t kPreambleBytes = kMagic.size() + 4;
constexpr std::size_t kBlockHeaderBytes = 8;
constexpr std::size_t kHeadBytes = 20;
// Compresses a ten-minute game in about 2 ms at its end, on the main thread, to about
// 27 KB; higher levels save little and cost more than a frame (docs/performance.md).
constexpr int kCompressionLevel = 6;

const char* const kNotReplay = "This file is not a Vemol replay.";
const char* const kDamaged = "This replay is damaged and cannot be played.";
const char* const kOtherVersion = "This replay was made by another version of Vemol and cannot be played by this one.";
const char* const kTooLarge = "This replay is too large to be a game of Vemol.";

void PutU32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutU16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
std::uint32_t GetU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint16_t GetU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

void PutBlock(Bytes& out, const char (&tag)[5], const Bytes& payload) {
    out.insert(out.end(), tag, tag + 4);
    PutU32(out, static_cast<std::uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
}

std::nullopt_t Fail(std::string* problem, const char* sentence) {
    if (problem) *problem = sentence;
    return std::nullopt;
}

// The blocks a replay needs, found among the file's blocks.
struct Blocks {
    std::span<const std::uint8_t> head, events;
    bool wellFormed = false;
};

Blocks FindBlocks(std::span<const std::uint8_t> rest) {
    Blocks found;
    while (!rest.empty()) {
        if (rest.size() < kBlockHeaderBytes) return found;
        const std::uint32_t length = GetU32(rest.data() + 4);
        if (length > rest.size() - kBlockHeaderBytes) return found;
        const auto payload = rest.subspan(kBlockHeaderBytes, length);
        auto* slot = std::memcmp(rest.data(), "HEAD", 4) == 0   ? &found.head
                     : std::memcmp(rest.data(), "EVNT", 4) == 0 ? &found.events
                                                                : nullptr;
        if (slot && slot->data()) return found;  // a block twice
        if (slot) *slot = payload;
        rest = rest.subspan(kBlockHeaderBytes + length);
    }
    found.wellFormed = found.head.data() && found.events.data();
    return found;
}

// True when the values are a well-formed stream of exactly `frames` frames whose clock
// is always a time (finite, not negative).
bool EventsHold(std::span<const std::uint8_t> events, std::uint32_t frames) {
    detail::EventCursor cursor(events);
    std::uint32_t seen = 0;
    for (;;) {
        switch (cursor.next()) {
            case detail::EventCursor::Next::End: return seen == frames;
            case detail::EventCursor::Next::Damaged: return false;
            case detail::EventCursor::Next::Frame:
                if (++seen > frames) return false;
                cursor.takeFrame();
                break;
            case detail::EventCursor::Next::Key: cursor.takeKey(); break;
            case detail::EventCursor::Next::Clock: {
                const float t = *cursor.takeClock();
                if (!std::isfinite(t) || t < 0.0f) return false;
                break;
            }
        }
    }
}

// With the checksum, any damage to the compressed values is found as such.
Bytes Compress(const Bytes& events) {
    Bytes packed(ZSTD_compressBound(events.size()));
    ZSTD_CCtx* context = ZSTD_createCCtx();
    if (!context) throw std::bad_alloc();
    ZSTD_CCtx_setParameter(context, ZSTD_c_compressionLevel, kCompressionLevel);
    ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1);
    const std::size_t size = ZSTD_compress2(context, packed.data(), packed.size(), events.data(), events.size());
    ZSTD_freeCCtx(context);
    if (ZSTD_isError(size)) throw std::bad_alloc();  // only memory can fail it
    packed.resize(size);
    return packed;
}

std::optional<Bytes> Decompress(std::span<const std::uint8_t> packed, std::size_t length) {
    Bytes out(length);
    ZSTD_DCtx* context = ZSTD_createDCtx();
    if (!context) return std::nullopt;
    const std::size_t got = ZSTD_decompressDCtx(context, out.data(), out.size(), packed.data(), packed.size());
    ZSTD_freeDCtx(context);
    if (ZSTD_isError(got) || got != length) return std::nullopt;
    return out;
}

}  // namespace

Bytes WriteReplay(const Replay& replay) {
    Bytes out(kMagic.begin(), kMagic.end());
    PutU16(out, kFormatVersion);
    PutU16(out, kRulesVersion);
    Bytes head;
    PutU32(head, replay.seed);
    PutU32(head, static_cast<std::uint32_t>(replay.bestScoreShown));
    PutU32(head, static_cast<std::uint32_t>(replay.finalScore));
    PutU32(head, replay.frames);
    PutU32(head, static_cast<std::uint32_t>(replay.events.size()));
    PutBlock(out, "HEAD", head);
    PutBlock(out, "EVNT", Compress(replay.events));
    return out;
}

std::optional<Replay> ReadReplay(std::span<const std::uint8_t> file, std::string* problem) {
    if (file.size() < kPreambleBytes || !std::equal(kMagic.begin(), kMagic.end(), file.begin()))
        return Fail(problem, kNotReplay);
    if (file.size() > kMaxReplayFileBytes) return Fail(problem, kTooLarge);
    if (GetU16(file.data() + 8) != kFormatVersion || GetU16(file.data() + 10) != kRulesVersion)
        return Fail(problem, kOtherVersion);
    const Blocks blocks = FindBlocks(file.subspan(kPreambleBytes));
    if (!blocks.wellFormed || blocks.head.size() < kHeadBytes) return Fail(problem, kDamaged);
    Replay replay;
    const std::uint8_t* head = blocks.head.data();
    replay.seed = GetU32(head);
    replay.bestScoreShown = static_cast<std::int32_t>(GetU32(head + 4));
    replay.finalScore = static_cast<std::int32_t>(GetU32(head + 8));
    replay.frames = GetU32(head + 12);
    const std::uint32_t eventBytes = GetU32(head + 16);
    if (replay.frames > kMaxReplayFrames || eventBytes > detail::kMaxEventBytes) return Fail(problem, kTooLarge);
    auto events = Decompress(blocks.events, eventBytes);
    if (!events || !EventsHold(*events, replay.frames)) return Fail(problem, kDamaged);
    replay.events = std::move(*events);
    return replay;
}

}  // namespace vemol::replay
