// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which ranking server this run uses: the one named on the command line, else the one
// in the first key file vemol/vemol.conf that names one (the player's own under
// $XDG_CONFIG_HOME, then each folder of $XDG_CONFIG_DIRS in order, where a distribution
// or a network's administrator puts it), else the one the game was built for.
//
//   [ranking]
//   server=scores.example.org:8080
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "net/ranking_settings.h"

namespace vemol::platform {

// The key files to look at, in order of precedence.
std::vector<std::string> RankingKeyFiles();

// A value that names no server is refused with one line on `errors` (where it came from
// and why) and the next source is used.
net::RankingServer ChooseRankingServer(const std::optional<std::string>& fromCommandLine,
                                       const std::vector<std::string>& keyFiles, std::ostream& errors);

}  // namespace vemol::platform
