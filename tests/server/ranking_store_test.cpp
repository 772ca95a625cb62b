// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The rules every database keeps the same way: re-sends, one row per name, the order.
#include <gtest/gtest.h>

#include "backend_fixture.h"

namespace vemol::ranking::testing {
namespace {

class RankingStore : public BackendTest {};

NewScore Score(int score, std::string name, std::int64_t at, std::string comment = "") {
    return NewScore{score, std::move(name), "http://", std::move(comment), at, "192.0.2.1"};
}

TEST_P(RankingStore, ReSendIsStoredOnceWithinAMinuteAndAgainAfterIt) {
    const std::int64_t t = 1'800'000'000;
    NewScore first = Score(500, "again", t);
    EXPECT_EQ(store->AddScores({{first}}), std::vector{AddOutcome::Stored});
    NewScore soon = Score(500, "again", t + 59);
    EXPECT_EQ(store->AddScores({{soon}}), std::vector{AddOutcome::Duplicate});
    // Differing in anything is a new score, also in the same transaction.
    std::vector<NewScore> batch{Score(500, "again", t + 1, "other"), Score(500, "again", t + 61)};
    EXPECT_EQ(store->AddScores(batch), (std::vector{AddOutcome::Stored, AddOutcome::Stored}));
}

TEST_P(RankingStore, EachNameShowsItsBestScoreAndTheFirstToReachAScoreRanksAbove) {
    const std::int64_t t = 1'800'000'000;
    std::vector<NewScore> scores{Score(100, "Aki", t),    Score(300, "Ben", t + 1), Score(300, "Aki", t + 2, "best"),
                                 Score(50, "Chi", t + 3), Score(200, "Aki", t + 4), Score(300, "Ben", t + 5, "later")};
    store->AddScores(scores);
    std::vector<StoredScore> rows = store->TopScores(100);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "Ben");
    EXPECT_EQ(rows[0].comment, "");
    EXPECT_EQ(rows[1].name, "Aki");
    EXPECT_EQ(rows[1].comment, "best");
    EXPECT_EQ(rows[2].name, "Chi");
    EXPECT_EQ(store->TopScores(2).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Backends, RankingStore, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vemol::ranking::testing
