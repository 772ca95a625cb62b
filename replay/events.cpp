// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "replay/events.h"

#include <bit>

namespace vemol::replay::detail {

namespace {

constexpr int kLongestVarint = 5;  // 32 bits, 7 at a time

}  // namespace

void EventWriter::frame() {
    flushRepeats();
    bytes_.push_back(kFrameCode);
}

void EventWriter::clock(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    if (bits == lastBits_) {
        if (++repeats_ == kLongestRepeat) flushRepeats();
        return;
    }
    flushRepeats();
    bytes_.push_back(kNewClockCode);
    for (std::uint32_t delta = bits - lastBits_;; delta >>= 7) {
        if (delta < 0x80) {
            bytes_.push_back(static_cast<std::uint8_t>(delta));
            break;
        }
        bytes_.push_back(static_cast<std::uint8_t>(0x80 | (delta & 0x7F)));
    }
    lastBits_ = bits;
}

void EventWriter::key(Key key, KeyState state) {
    flushRepeats();
    bytes_.push_back(static_cast<std::uint8_t>(kKeyCode | static_cast<int>(key) << 2 | int{state.down} << 1 |
                                               int{state.pressedSinceLastQuery}));
}

const Bytes& EventWriter::finish() {
    flushRepeats();
    return bytes_;
}

void EventWriter::flushRepeats() {
    if (repeats_ > 0) bytes_.push_back(static_cast<std::uint8_t>(repeats_));
    repeats_ = 0;
}

EventCursor::Next EventCursor::next() const {
    if (repeatsLeft_ > 0) return Next::Clock;
    if (pos_ == events_.size()) return Next::End;
    const std::uint8_t code = events_[pos_];
    if (code == kFrameCode) return Next::Frame;
    if (code <= kLongestRepeat) return Next::Clock;
    if (code == kNewClockCode) {
        std::size_t length = 0;
        return newClockBits(&length) ? Next::Clock : Next::Damaged;
    }
    if ((code & 0xE0) == kKeyCode && ((code >> 2) & 7) < kKeyCount) return Next::Key;
    return Next::Damaged;
}

bool EventCursor::takeFrame() {
    if (next() != Next::Frame) return false;
    ++pos_;
    return true;
}

std::optional<float> EventCursor::takeClock() {
    if (next() != Next::Clock) return std::nullopt;
    if (repeatsLeft_ == 0 && events_[pos_] <= kLongestRepeat) repeatsLeft_ = events_[pos_++];
    if (repeatsLeft_ > 0) {
        --repeatsLeft_;
        return lastClock();
    }
    std::size_t length = 0;
    lastBits_ = *newClockBits(&length);
    pos_ += length;
    return lastClock();
}

std::optional<std::pair<int, KeyState>> EventCursor::takeKey() {
    if (next() != Next::Key) return std::nullopt;
    const std::uint8_t code = events_[pos_++];
    return std::pair{(code >> 2) & 7, KeyState{(code & 2) != 0, (code & 1) != 0}};
}

float EventCursor::lastClock() const { return std::bit_cast<float>(lastBits_); }

// The bits of the new clock value at pos_, and the length of its code; nullopt when the
// varint is cut short or longer than 32 bits.
std::optional<std::uint32_t> EventCursor::newClockBits(std::size_t* length) const {
    std::uint64_t delta = 0;
    for (int i = 0; i < kLongestVarint; ++i) {
        const std::size_t at = pos_ + 1 + static_cast<std::size_t>(i);
        if (at >= events_.size()) return std::nullopt;
        delta |= static_cast<std::uint64_t>(events_[at] & 0x7F) << (7 * i);
        if ((events_[at] & 0x80) == 0) {
            if (delta > 0xFFFFFFFFu) return std::nullopt;
            *length = static_cast<std::size_t>(i) + 2;
            return static_cast<std::uint32_t>(lastBits_ + delta);
        }
    }
    return std::nullopt;
}

}  // namespace vemol::replay::detail
