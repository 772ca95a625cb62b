// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The boards a community keeps: today's, this week's, this month's and the all-time one,
// each with its own top 100, in UTC.
#include <cstdint>
#include <optional>
#include <string_view>

namespace vemol::ranking {

enum class RankingPeriod { Day, Week, Month, All };

inline constexpr RankingPeriod kPeriods[] = {RankingPeriod::Day, RankingPeriod::Week, RankingPeriod::Month,
                                             RankingPeriod::All};

// The period a request's query string asks for with period=day|week|month|all; All when
// it names none, nothing when it names another.
std::optional<RankingPeriod> PeriodOfQuery(const char* queryString);
// Whether the query asks for verified entries only (verified=1); false when it says
// nothing or verified=0, nothing when it says anything else.
std::optional<bool> VerifiedOnlyOfQuery(const char* queryString);
// "day", "week", "month", "all".
std::string_view PeriodName(RankingPeriod period);
// Its heading on the page: "Today", "This week", "This month", "All time".
std::string_view PeriodTitle(RankingPeriod period);
// When the period holding `now` began: midnight UTC today, on Monday of this week or on
// the first of this month; 0 for All.
std::int64_t PeriodStart(RankingPeriod period, std::int64_t now);

}  // namespace vemol::ranking
