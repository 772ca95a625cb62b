// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Send Score dialog's rules, played as a player meets them, without a window.
#include <gtest/gtest.h>

#include "net/send_score_rules.h"

namespace vemol::net {
namespace {

// Records what would have gone to the server and answers with a chosen outcome.
struct RecordingSender {
    std::vector<ScoreEntry> sent;
    SendOutcome answer = SendOutcome::Sent;
    ScoreSender sender() {
        return [this](const ScoreEntry& entry) {
            sent.push_back(entry);
            return answer;
        };
    }
};

TEST(SendScoreRules, FirstOpeningOfARun) {
    RankingState ranking;
    SendScoreForm form = OpenSendScoreForm(ranking, 0);
    EXPECT_EQ(form.bestScore, "0");
    EXPECT_EQ(form.name, "");
    EXPECT_EQ(form.homePage, "http://");
    EXPECT_EQ(form.comment, "");
    EXPECT_EQ(OpenSendScoreForm(ranking, -42).bestScore, "-42");
}

TEST(SendScoreRules, ScoreIsSentOnceUntilANewBest) {
    RankingState ranking;
    RecordingSender server;
    SendScoreForm typed{"0", "abc", "gg", "http://me/"};

    // A run in which no game has finished yet may send its 0 once.
    EXPECT_EQ(PressSend(ranking, 0, typed, server.sender()), SendScoreResult::Sent);
    EXPECT_EQ(ranking.lastSentScore, 0);
    EXPECT_EQ(PressSend(ranking, 0, typed, server.sender()), SendScoreResult::AlreadySent);
    EXPECT_TRUE(ReopensDialog(SendScoreResult::AlreadySent));
    ASSERT_EQ(server.sent.size(), 1u);
    EXPECT_EQ(server.sent[0].score, 0);
    EXPECT_EQ(server.sent[0].name, "abc");
    EXPECT_EQ(server.sent[0].comment, "gg");
    EXPECT_EQ(server.sent[0].homePage, "http://me/");

    // A refusal reads nothing from the fields.
    SendScoreForm other{"0", "zzz", "", ""};
    PressSend(ranking, 0, other, server.sender());
    EXPECT_EQ(ranking.playerName, "abc");

    EXPECT_EQ(PressSend(ranking, 1500, typed, server.sender()), SendScoreResult::Sent);
    EXPECT_EQ(ranking.lastSentScore, 1500);
    EXPECT_FALSE(ReopensDialog(SendScoreResult::Sent));
    EXPECT_EQ(SendScoreMessage(SendScoreResult::Sent, ranking.server), std::string("Send OK!"));
    EXPECT_EQ(SendScoreMessage(SendScoreResult::AlreadySent, ranking.server), "This score has already been sent.");
}

TEST(SendScoreRules, EmptyNameRefusesAndLosesTheComment) {
    RankingState ranking;
    ranking.playerName = "old";
    ranking.homePageUrl = "http://kept/";
    RecordingSender server;
    SendScoreForm typed{"10", "", "a comment", "http://typed/"};
    SendScoreResult result = PressSend(ranking, 10, typed, server.sender());
    EXPECT_EQ(result, SendScoreResult::NameMissing);
    EXPECT_TRUE(ReopensDialog(result));
    EXPECT_EQ(SendScoreMessage(result, ranking.server), "Please type your name.");
    EXPECT_TRUE(server.sent.empty());

    SendScoreForm reopened = OpenSendScoreForm(ranking, 10);
    EXPECT_EQ(reopened.name, "");
    EXPECT_EQ(reopened.comment, "");
    EXPECT_EQ(reopened.homePage, "http://kept/");
    EXPECT_EQ(ranking.lastSentScore, -1);
}

TEST(SendScoreRules, TypedNameComesBackButNeverTheComment) {
    RankingState ranking;
    RecordingSender server;
    PressSend(ranking, 300, {"300", "ぼく", "hello", "http://x/"}, server.sender());
    for (int opening = 0; opening < 3; ++opening) {
        SendScoreForm form = OpenSendScoreForm(ranking, 300);
        EXPECT_EQ(form.name, "ぼく");
        EXPECT_EQ(form.homePage, "http://x/");
        EXPECT_EQ(form.comment, "");
    }
    EXPECT_EQ(ranking.playerComment, "hello");
}

TEST(SendScoreRules, LongTextsAreCutToTheirLimitsAtCharacterBoundaries) {
    RankingState ranking;
    RecordingSender server;
    SendScoreForm typed{"1", std::string(25, 'N'), std::string(100, 'C'), std::string(60, 'H')};
    PressSend(ranking, 1, typed, server.sender());
    EXPECT_EQ(ranking.playerName, std::string(19, 'N'));
    EXPECT_EQ(ranking.playerComment, std::string(79, 'C'));
    EXPECT_EQ(ranking.homePageUrl, std::string(39, 'H'));
    ASSERT_EQ(server.sent.size(), 1u);
    EXPECT_EQ(server.sent[0].name, std::string(19, 'N'));

    // Seven three-byte characters are 21 bytes: six fit in 19, never half of the seventh.
    ranking = RankingState{};
    PressSend(ranking, 2, {"2", "名前名前名前名", "", ""}, server.sender());
    EXPECT_EQ(ranking.playerName, "名前名前名前");
    EXPECT_EQ(CutAtCharacterBoundary("ab\xF0\x9F\x8E\xB2", 5), "ab");  // a four-byte die
    EXPECT_EQ(CutAtCharacterBoundary("ab\xF0\x9F\x8E\xB2", 6), "ab\xF0\x9F\x8E\xB2");
    EXPECT_EQ(CutAtCharacterBoundary("\xC3\xA9\xC3\xA9", 3), "\xC3\xA9");
}

TEST(SendScoreRules, FailedSendIsReportedAndMayBeTriedAgain) {
    RankingState ranking;
    RecordingSender server;
    server.answer = SendOutcome::ConnectTimedOut;
    SendScoreForm typed{"800", "abc", "c", "http://"};
    SendScoreResult result = PressSend(ranking, 800, typed, server.sender());
    EXPECT_EQ(result, SendScoreResult::NoAnswer);
    EXPECT_TRUE(IsSendFailure(result));
    EXPECT_FALSE(ReopensDialog(result));
    EXPECT_EQ(SendScoreMessage(result, {"127.0.0.1", 8080}),
              "The ranking server 127.0.0.1:8080 did not answer within 10 seconds. Please try again.");
    EXPECT_EQ(ranking.lastSentScore, -1);
    EXPECT_EQ(ranking.playerName, "abc");  // kept for the next try

    server.answer = SendOutcome::Sent;
    EXPECT_EQ(PressSend(ranking, 800, typed, server.sender()), SendScoreResult::Sent);
    EXPECT_EQ(server.sent.size(), 2u);
}

}  // namespace
}  // namespace vemol::net
