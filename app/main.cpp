// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Vemol: the entry point.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <utility>

#include "app/application.h"
#include "app/replay_viewing.h"
#include "net/texts.h"
#include "platform/command_line.h"
#include "platform/display.h"
#include "platform/language.h"
#include "platform/message_box.h"
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
    // A replay that cannot be played is said on standard error at once, and in a message
    // box once the display is open; nothing else happens.
    std::optional<replay::Replay> replayToShow;
    std::string replayRefused;
    if (options.replayFile) {
        std::string problem;
        replayToShow = app::LoadReplayFile(*options.replayFile, &problem);
        if (!replayToShow) {
            replayRefused = *options.replayFile + ": " + problem;
            std::fprintf(stderr, "vemol: %s\n", replayRefused.c_str());
        }
    }
    if (!platform::OpenDisplay(argc, argv, kApplicationId)) {
        std::fprintf(stderr, "vemol: %s\n",
                     net::Translated("cannot open the display; Vemol needs a graphical desktop (is DISPLAY set?)"));
        return 1;
    }
    if (!replayRefused.empty()) {
        platform::ShowMessageBox(nullptr, replayRefused.c_str(), "", platform::MessageKind::Error);
        return 1;
    }
    app::Application application(server, std::move(replayToShow));
    return RunProgram(application);
}
