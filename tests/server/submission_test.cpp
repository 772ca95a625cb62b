// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading what senders send and the small rules of the page.
#include <gtest/gtest.h>

#include "server/ranking_page.h"
#include "server/rate_limiter.h"
#include "server/score_form.h"
#include "server/server_options.h"
#include "server/text_encoding.h"

namespace vemol::ranking {
namespace {

TEST(ScoreForm, TheOriginalGamesBareAmpersandStaysInTheName) {
    std::optional<ScoreForm> form = ReadScoreForm("score=10&name=Tom&Jerry&url=http://&comm=a=b\n");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->name, "Tom&Jerry");
    EXPECT_EQ(form->comment, "a=b");
}

TEST(ScoreForm, OnlyCompleteEscapesAreDecoded) {
    EXPECT_EQ(DecodePercentEscapes("%41%e3%81%82+100%"), "A\xe3\x81\x82+100%");
    EXPECT_EQ(DecodePercentEscapes("%4"), "%4");
    EXPECT_EQ(DecodePercentEscapes("%G1"), "%G1");
}

TEST(TextEncoding, OverlongFormsAndSurrogatesAreNotUtf8) {
    EXPECT_TRUE(IsValidUtf8("テスト ok"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
    EXPECT_FALSE(IsValidUtf8("\xE3\x81"));
}

TEST(RankingPage, EqualScoresShareARank) {
    std::vector<StoredScore> rows{{300, "a", "", "", 0}, {300, "b", "", "", 0}, {200, "c", "", "", 0}};
    EXPECT_EQ(CompetitionRanks(rows), (std::vector{1, 1, 3}));
}

TEST(RateLimiter, AnAddressGetsItsPostsBackOverTheMinute) {
    RateLimiter limiter(2);
    auto t = RateLimiter::Clock::now();
    EXPECT_TRUE(limiter.Allow("a", t));
    EXPECT_TRUE(limiter.Allow("a", t));
    EXPECT_FALSE(limiter.Allow("a", t));
    EXPECT_TRUE(limiter.Allow("b", t));
    EXPECT_TRUE(limiter.Allow("a", t + std::chrono::seconds(30)));
    EXPECT_FALSE(limiter.Allow("a", t + std::chrono::seconds(31)));
}

TEST(ServerOptions, BadValuesAreRefusedWithExitCode2) {
    EXPECT_EQ(ParseOptions({"--posts-per-minute", "-1"}).exitCode, 2);
    EXPECT_EQ(ParseOptions({"--listen", "8080"}).exitCode, 2);
    EXPECT_EQ(ParseOptions({"--db"}).exitCode, 2);
    ParsedOptions parsed = ParseOptions({"--listen", "0.0.0.0:80", "--db", "sqlite:/var/lib/r.db"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ(parsed.options->server.listen, "0.0.0.0:80");
}

}  // namespace
}  // namespace vemol::ranking
