// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A growing byte buffer with the little- and big-endian writers the file formats need.
#include <cstdint>
#include <string_view>
#include <vector>

namespace artgen {

class ByteWriter {
public:
    void u8(std::uint32_t v) { bytes_.push_back(static_cast<std::uint8_t>(v)); }
    void u16le(std::uint32_t v) {
        u8(v);
        u8(v >> 8);
    }
    void u32le(std::uint32_t v) {
        u16le(v);
        u16le(v >> 16);
    }
    void u16be(std::uint32_t v) {
        u8(v >> 8);
        u8(v);
    }
    void u32be(std::uint32_t v) {
        u16be(v >> 16);
        u16be(v);
    }
    void i32le(std::int32_t v) { u32le(static_cast<std::uint32_t>(v)); }
    void tag(std::string_view fourcc) {
        for (char c : fourcc) u8(static_cast<std::uint8_t>(c));
    }
    void append(const std::vector<std::uint8_t>& more) { bytes_.insert(bytes_.end(), more.begin(), more.end()); }
    void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }

    std::size_t size() const { return bytes_.size(); }
    // Overwrites a 32-bit little-endian value already written (chunk sizes known only later).
    void patch32le(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t>&& take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace artgen
