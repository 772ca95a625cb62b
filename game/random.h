// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's own rand and srand: the classic linear congruential generator, so a seed
// gives the same game on every platform.
#include <cstdint>

namespace vemol {

class Random {
public:
    static constexpr int kMax = 32767;
    void srand(std::uint32_t seed) { state_ = seed; }
    int rand() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t state_ = 1;
};

}  // namespace vemol
