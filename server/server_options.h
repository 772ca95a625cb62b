// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of vemol-ranking.
#include <optional>
#include <string>
#include <vector>

#include "server/ranking_server.h"

namespace vemol::ranking {

struct ServerOptions {
    ServerSettings server;
    std::string database = "sqlite:ranking.db";
};

struct ParsedOptions {
    std::optional<ServerOptions> options;  // nothing: print `message` and exit
    std::string message;                   // usage, version or what was wrong
    int exitCode = 0;
};

ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

}  // namespace vemol::ranking
