// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The values a game read, as a stream of one-byte codes (the replay's internal form,
// before compression):
//   0x00            the next frame starts
//   0x01..0x3F      that many reads of the clock giving the value it gave last
//   0x40 varint     one read of the clock giving a new value: the difference of the
//                   float's bits from the last value's bits, modulo 2^32 (a clock going
//                   back stays representable, so the server can refuse it by name)
//   0x80 | k<<2 | d<<1 | l   one query of key k (its index in Key): down d, latched l
// The clock starts at 0.0f. Most reads within a frame repeat one value, so a frame costs
// a few bytes, and the same few frames over and over compress well.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "replay/replay.h"

namespace vemol::replay::detail {

constexpr std::uint8_t kFrameCode = 0x00;
constexpr std::uint8_t kLongestRepeat = 0x3F;
constexpr std::uint8_t kNewClockCode = 0x40;
constexpr std::uint8_t kKeyCode = 0x80;
// The most values a replay holds before compression: far more than two hours of any game
// reads (a few bytes a frame), far less than a server's memory.
constexpr std::size_t kMaxEventBytes = 32u << 20;

// Appends what a game reads.
class EventWriter {
public:
    void frame();
    void clock(float value);
    void key(Key key, KeyState state);
    // The stream so far, every pending repeat written out.
    const Bytes& finish();
    std::size_t size() const { return bytes_.size(); }

private:
    void flushRepeats();
    Bytes bytes_;
    std::uint32_t lastBits_ = 0;
    int repeats_ = 0;
};

// Walks a stream read by read. Every taking function fails (nullopt or false), taking
// nothing, when the next read is not of its kind.
class EventCursor {
public:
    enum class Next { Frame, Clock, Key, End, Damaged };
    explicit EventCursor(std::span<const std::uint8_t> events) : events_(events) {}
    Next next() const;
    bool takeFrame();
    std::optional<float> takeClock();
    // The key index and state of the next key query.
    std::optional<std::pair<int, KeyState>> takeKey();
    // The value the clock gave last (0 before any read).
    float lastClock() const;

private:
    std::optional<std::uint32_t> newClockBits(std::size_t* length) const;
    std::span<const std::uint8_t> events_;
    std::size_t pos_ = 0;
    std::uint32_t lastBits_ = 0;
    int repeatsLeft_ = 0;  // of the repeat code just before pos_
};

}  // namespace vemol::replay::detail
