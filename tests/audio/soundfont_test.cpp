// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/soundfont.h"

#include <gtest/gtest.h>

#include <set>

namespace vemol {
namespace {

auto Installed(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& path) { return files.count(path) > 0; };
}

TEST(SoundFontSearch, FluidSynthsDefaultComesFirstThenTheUsualDebianFiles) {
    const std::string fluidDefault = "/usr/share/sounds/sf2/default-GM.sf2";
    const std::string timGm = "/usr/share/sounds/sf2/TimGM6mb.sf2";
    const std::string fluidR3 = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
    EXPECT_EQ(ChooseSoundFont(nullptr, Installed({fluidR3, timGm, fluidDefault})).paths, fluidDefault);
    // A dangling default link (its package removed) is passed over.
    EXPECT_EQ(ChooseSoundFont(nullptr, Installed({fluidR3, timGm})).paths, timGm);
    EXPECT_EQ(ChooseSoundFont("", Installed({fluidR3})).paths, fluidR3);

    const SoundFontChoice none = ChooseSoundFont(nullptr, Installed({}));
    EXPECT_EQ(none.paths, "");
    EXPECT_NE(none.problem.find("timgm6mb-soundfont"), std::string::npos) << none.problem;
}

TEST(SoundFontSearch, ThePlayersOwnListWinsAndKeepsOnlyFilesThatCanBeRead) {
    const auto installed = Installed({"/home/p/a.sf2", "/home/p/b.sf2", "/usr/share/sounds/sf2/default-GM.sf2"});
    EXPECT_EQ(ChooseSoundFont("/home/p/a.sf2;/gone.sf2:/home/p/b.sf2", installed).paths, "/home/p/a.sf2:/home/p/b.sf2");
    // Pointing at nothing silences the tune rather than falling back behind the player's
    // back, and says so.
    const SoundFontChoice gone = ChooseSoundFont("/gone.sf2", installed);
    EXPECT_EQ(gone.paths, "");
    EXPECT_NE(gone.problem.find("SDL_SOUNDFONTS (/gone.sf2)"), std::string::npos) << gone.problem;
}

}  // namespace
}  // namespace vemol
