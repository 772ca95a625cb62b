// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Vemol: the entry point.
#include <cstdio>
#include <iostream>

#include "app/application.h"
#include "net/texts.h"
#include "platform/command_line.h"
#include "platform/display.h"
#include "platform/language.h"
#include "platform/ranking_server_choice.h"

// The desktop entry's id. As the program name (Wayland's app id, X11's WM_CLASS name) and
// class it lets the desktop find the entry, show its icon and group our windows under it.
constexpr const char* kApplicationId = "io.github.vemol.Vemol";

int main(int argc, char** argv) {
    using namespace vemol;
    platform::SetUpLanguage(platform::CatalogueFolder());
    // The command line first: --help and --version need no display.
    const platform::CommandLine options = platform::ParseCommandLine(argc, argv);
    if (options.exitCode) return *options.exitCode;
    const net::RankingServer server =
        platform::ChooseRankingServer(options.rankingServer, platform::RankingKeyFiles(), std::cerr);
    if (!platform::OpenDisplay(argc, argv, kApplicationId)) {
        std::fprintf(stderr, "vemol: %s\n",
                     net::Translated("cannot open the display; Vemol needs a graphical desktop (is DISPLAY set?)"));
        return 1;
    }
    app::Application application(server);
    return RunProgram(application);
}
