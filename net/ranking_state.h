// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the player typed into the Send Score dialog and what was sent, kept for the run,
// and the ranking server chosen when the game started.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/ranking_settings.h"

namespace vemol::net {

struct RankingState {
    std::int32_t lastSentScore = -1;
    std::string playerName;
    std::string homePageUrl = "http://";
    std::string playerComment;
    RankingServer server;  // chosen when the program starts
    // The replay file of the game that set this run's best score (the score Send Score
    // sends), uploaded when the server asks for it; null when none is held.
    std::shared_ptr<const std::vector<std::uint8_t>> sessionBestReplay;
};

}  // namespace vemol::net
