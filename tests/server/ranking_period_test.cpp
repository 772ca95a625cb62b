// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The day, week, month and all-time boards with entries at chosen times, over HTTP.
#include <gtest/gtest.h>

#include <ctime>
#include <regex>

#include "backend_fixture.h"
#include "ranking_client.h"
#include "server/admin_command.h"
#include "server/ranking_period.h"

namespace vemol::ranking::testing {
namespace {

TEST(RankingPeriodStart, DaysWeeksFromMondayAndMonthsBeginAtMidnightUtc) {
    for (const char* now : {"2026-12-10 06:59:30", "2026-12-13 23:59:59", "2026-12-07"}) {
        std::int64_t at = *ParseTime(now);
        EXPECT_EQ(PeriodStart(RankingPeriod::Day, at), *ParseTime(std::string(now).substr(0, 10))) << now;
        EXPECT_EQ(PeriodStart(RankingPeriod::Week, at), *ParseTime("2026-12-07")) << now;
        EXPECT_EQ(PeriodStart(RankingPeriod::Month, at), *ParseTime("2026-12-01")) << now;
        EXPECT_EQ(PeriodStart(RankingPeriod::All, at), 0);
    }
    EXPECT_EQ(PeriodStart(RankingPeriod::Week, *ParseTime("2027-01-01 12:00")), *ParseTime("2026-12-28"));
}

class RankingPeriods : public BackendTest {};

// "Name:score" of each row of the JSON, in order.
std::string Board(int port, const std::string& query) {
    std::string json = Get(port, kRankingJsonPath + query), board;
    std::regex row(R"re("score":(\d+),"name":"([^"]*)")re");
    for (std::sregex_iterator it(json.begin(), json.end(), row), end; it != end; ++it)
        board += (*it)[2].str() + ":" + (*it)[1].str() + " ";
    return board;
}

TEST_P(RankingPeriods, EachPeriodRanksItsOwnEntriesAndThePageLinksTheOthers) {
    std::int64_t now = std::time(nullptr), today = PeriodStart(RankingPeriod::Day, now);
    std::int64_t longAgo = std::min(PeriodStart(RankingPeriod::Week, now), PeriodStart(RankingPeriod::Month, now)) - 1;
    store->AddScores(std::vector<NewScore>{{900, "Ann", "", "", longAgo, "192.0.2.1"},
                                           {100, "Ann", "", "", today, "192.0.2.1"},
                                           {500, "Bob", "", "", today - 1, "192.0.2.1"},
                                           {700, "Cid", "", "", now, "192.0.2.9"}});
    EntryFilter cid;
    cid.name = "Cid";
    store->SetHidden(std::vector<std::int64_t>{store->ListEntries(cid).at(0).id}, true, "hide");
    StartServer();

    EXPECT_EQ(Board(port, ""), "Ann:900 Bob:500 ");
    EXPECT_EQ(Board(port, "?period=all"), "Ann:900 Bob:500 ");
    EXPECT_EQ(Board(port, "?period=day"), "Ann:100 ");
    // Yesterday belongs to this week and this month unless today began them.
    for (RankingPeriod period : {RankingPeriod::Week, RankingPeriod::Month}) {
        bool yesterdayCounts = PeriodStart(period, now) < today;
        EXPECT_EQ(Board(port, "?period=" + std::string(PeriodName(period))),
                  yesterdayCounts ? "Bob:500 Ann:100 " : "Ann:100 ");
    }

    std::string page = Get(port, std::string(kRankingPagePath) + "?period=week");
    EXPECT_NE(page.find(R"(<strong aria-current="page">This week</strong>)"), std::string::npos) << page;
    EXPECT_NE(page.find(R"(<a href="?period=all">All time</a>)"), std::string::npos);
    EXPECT_NE(Get(port, kRankingPagePath).find(R"(<strong aria-current="page">All time</strong>)"), std::string::npos);
    for (const char* path : {kRankingPagePath, kRankingJsonPath})
        EXPECT_EQ(Send(port, "GET " + std::string(path) + "?period=year HTTP/1.0\r\n\r\n").status, 400);
}

INSTANTIATE_TEST_SUITE_P(Backends, RankingPeriods, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vemol::ranking::testing
