// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ranking as people see it (ranking.html) and as programs read it (ranking.json).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/ranking_period.h"
#include "server/score_store.h"

namespace vemol::ranking {

// How many names the ranking shows.
constexpr int kRankingSize = 100;

// Rank of each row of a best-first list: equal scores share a rank, the next score's
// rank counts everyone above it (1, 2, 2, 4).
std::vector<int> CompetitionRanks(const std::vector<StoredScore>& rows);

std::string EscapeHtml(std::string_view text);
// A JSON string literal, quotes included.
std::string JsonString(std::string_view text);
// "2026-12-09 17:40" in UTC.
std::string FormatDate(std::int64_t secondsSince1970);

// The whole page: links to the four periods with `period` marked and to the verified
// entries alone or all, then rank, score (marked, with its replay to download, where
// verified), name (a link to the home page where it is one), comment and date of every row.
std::string RenderRankingPage(const std::vector<StoredScore>& rows, RankingPeriod period = RankingPeriod::All,
                              bool verifiedOnly = false);
// {"ranking":[{"rank":1,"score":..,"name":..,"homePage":..,"homePageIsLink":..,
//  "comment":..,"date":"2026-12-09T17:40:00Z","verified":true,"replay":"/replays/7.vemolreplay"},...]}
// ("verified":false,"replay":null for an entry without a verified replay)
std::string RenderRankingJson(const std::vector<StoredScore>& rows);

}  // namespace vemol::ranking
