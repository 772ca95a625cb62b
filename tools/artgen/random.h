// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The generator's own fixed-seed random numbers (xorshift64*), so every run draws the
// same noise, sparkles and drum ghost notes.
#include <cstdint>

namespace artgen {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    std::uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [-1, 1).
    double signedUnit() { return unit() * 2.0 - 1.0; }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

}  // namespace artgen
