// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Deliberate difference: command-line.
// The command line, read before the display opens: --help, --version, --ranking-server,
// --replay (or a replay file named alone, as the desktop opens one) and the window
// system's own options.
#include <optional>
#include <string>

namespace vemol::platform {

struct CommandLine {
    std::optional<std::string> rankingServer;  // as typed, checked later
    std::optional<std::string> replayFile;     // a replay to play back first, read later
    // Set when the program ends here: 0 after --help or --version, 2 after a mistake.
    std::optional<int> exitCode;
};

// Parses and removes the options from argv. --help prints the usage and --version
// "vemol <version>" on standard output; a mistake prints its reason and a hint on
// standard error.
CommandLine ParseCommandLine(int& argc, char**& argv);

}  // namespace vemol::platform
