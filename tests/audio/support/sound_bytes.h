// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sounds made in the test, so that what is heard can be told apart exactly: effects of
// known length and loudness and a tune whose opening differs from the rest.
#include <cstdint>
#include <string>
#include <vector>

#include "resources/catalogue.h"

namespace vemol::test {

// A mono 16-bit 44.1 kHz PCM WAVE file of `seconds` of noise at `amplitude`; noise so
// that two overlapping copies add up in energy instead of cancelling.
std::vector<std::uint8_t> NoiseWave(float seconds, int amplitude, std::uint32_t seed);

// A format-1 Standard MIDI File: a piano plays a rising scale, a note every quarter of a
// second, for four seconds.
std::vector<std::uint8_t> RisingScaleMidi();

// The game's five sounds under their resource names, made by the two functions above.
struct TestSounds {
    std::vector<std::vector<std::uint8_t>> files;
    resources::Catalogue catalogue;
};
TestSounds MakeTestSounds();

}  // namespace vemol::test
