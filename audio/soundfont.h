// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the General MIDI SoundFont the tune is played with, the way players expect on
// Linux: the SDL_SOUNDFONTS variable when they set it, else FluidSynth's own default
// (Debian's default-GM links), else the usual Debian places.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vemol {

struct SoundFontChoice {
    // The SoundFont files to load, separated by ':'; empty when none can be read.
    std::string paths;
    // When `paths` is empty: what is missing, in words a player understands.
    std::string problem;
};

// Where Debian's packages put a General MIDI SoundFont, best first.
const std::vector<std::string>& StandardSoundFontPaths();

// `fromEnvironment` is the value of SDL_SOUNDFONTS (null when unset); `readable` tells
// whether a file can be opened.
SoundFontChoice ChooseSoundFont(const char* fromEnvironment, const std::function<bool(const std::string&)>& readable);

// The same, looking at the real environment and file system.
SoundFontChoice ChooseSoundFont();

}  // namespace vemol
