// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/soundfont.h"

#include <cstdlib>
#include <fstream>

namespace vemol {
namespace {

// SDL_SOUNDFONTS lists files separated by ':' or ';', as SDL_mixer reads it.
std::vector<std::string> SplitPathList(std::string_view list) {
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find_first_of(":;", start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start) paths.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

bool IsReadableFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return file.good() && file.peek() != std::ifstream::traits_type::eof();
}

}  // namespace

const std::vector<std::string>& StandardSoundFontPaths() {
    static const std::vector<std::string> paths = {
        // FluidSynth's compiled-in default on Debian, kept by update-alternatives.
        "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
        "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/sounds/sf3/FluidR3_GM.sf3", "/usr/share/sounds/sf3/MuseScore_General.sf3",
    };
    return paths;
}

SoundFontChoice ChooseSoundFont(const char* fromEnvironment, const std::function<bool(const std::string&)>& readable) {
    const bool playerChose = fromEnvironment != nullptr && *fromEnvironment != '\0';
    // Only files that can be read are handed on: the synthesizer complains on standard
    // error about every one it cannot open, and one bad entry must not hide a good one.
    const std::vector<std::string> candidates = playerChose ? SplitPathList(fromEnvironment) : StandardSoundFontPaths();
    SoundFontChoice choice;
    for (const std::string& path : candidates) {
        if (!readable(path)) continue;
        if (playerChose) {
            if (!choice.paths.empty()) choice.paths += ':';
            choice.paths += path;
        } else {
            choice.paths = path;  // the first one found is the one players expect
            break;
        }
    }
    if (choice.paths.empty()) {
        choice.problem =
            playerChose ? "the SoundFont named by SDL_SOUNDFONTS (" + std::string(fromEnvironment) + ") cannot be read"
                        : "no General MIDI SoundFont is installed (install the package "
                          "timgm6mb-soundfont or fluid-soundfont-gm, or name one in SDL_SOUNDFONTS)";
    }
    return choice;
}

SoundFontChoice ChooseSoundFont() {
    // Deliberate difference: soundfont-variable.
    // Unlike the original, which read no environment variable at all: SDL_SOUNDFONTS is
    // how Linux players point SDL games at their own SoundFont, so it is honoured.
    return ChooseSoundFont(std::getenv("SDL_SOUNDFONTS"), IsReadableFile);
}

}  // namespace vemol
