// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/ranking_period.h"

#include <civetweb.h>

#include <cstring>
#include <ctime>

namespace vemol::ranking {

std::optional<RankingPeriod> PeriodOfQuery(const char* queryString) {
    if (!queryString) return RankingPeriod::All;
    char value[8] = {};
    int length = mg_get_var(queryString, std::strlen(queryString), "period", value, sizeof value);
    if (length == -1) return RankingPeriod::All;
    for (RankingPeriod period : kPeriods)
        if (length >= 0 && PeriodName(period) == value) return period;
    return std::nullopt;
}

std::optional<bool> VerifiedOnlyOfQuery(const char* queryString) {
    if (!queryString) return false;
    char value[4] = {};
    int length = mg_get_var(queryString, std::strlen(queryString), "verified", value, sizeof value);
    if (length == -1) return false;
    if (length >= 0 && (value == std::string_view("0") || value == std::string_view("1"))) return value[0] == '1';
    return std::nullopt;
}

std::string_view PeriodName(RankingPeriod period) {
    switch (period) {
        case RankingPeriod::Day: return "day";
        case RankingPeriod::Week: return "week";
        case RankingPeriod::Month: return "month";
        case RankingPeriod::All: break;
    }
    return "all";
}

std::string_view PeriodTitle(RankingPeriod period) {
    switch (period) {
        case RankingPeriod::Day: return "Today";
        case RankingPeriod::Week: return "This week";
        case RankingPeriod::Month: return "This month";
        case RankingPeriod::All: break;
    }
    return "All time";
}

std::int64_t PeriodStart(RankingPeriod period, std::int64_t now) {
    constexpr std::int64_t kDay = 24 * 60 * 60;
    std::int64_t day = now / kDay;
    switch (period) {
        case RankingPeriod::Day: return day * kDay;
        // 1970-01-01 was a Thursday: three days after a Monday.
        case RankingPeriod::Week: return (day - (day + 3) % 7) * kDay;
        case RankingPeriod::Month: {
            std::time_t time = static_cast<std::time_t>(now);
            std::tm parts{};
            gmtime_r(&time, &parts);
            parts.tm_mday = 1;
            parts.tm_hour = parts.tm_min = parts.tm_sec = 0;
            return static_cast<std::int64_t>(timegm(&parts));
        }
        case RankingPeriod::All: break;
    }
    return 0;
}

}  // namespace vemol::ranking
