// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The server over real HTTP on 127.0.0.1 with each database: what the game sends, what
// the original game sent, and what a hostile sender might send.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <future>
#include <pqxx/pqxx>
#include <thread>

#include "backend_fixture.h"
#include "ranking_client.h"

namespace vemol::ranking::testing {
namespace {

using namespace std::chrono_literals;

class RankingHttp : public BackendTest {};

TEST_P(RankingHttp, GameSubmissionIsCommittedBeforeTheReplyAndShownOnBothPages) {
    StartServer();
    Exchange reply = Send(port, GameRequest(4321, "Kanon", "http://kanon.example/", "first try & more"));
    ASSERT_EQ(reply.status, 200) << reply.response;
    // Committed by the time the reply came: another connection sees it at once.
    std::vector<StoredScore> rows = store->TopScores(100);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].comment, "first try & more");

    std::string page = Get(port, kRankingPagePath);
    EXPECT_NE(page.find(R"(<a href="http://kanon.example/" rel="nofollow ugc">Kanon</a>)"), std::string::npos) << page;
    EXPECT_NE(page.find("4321"), std::string::npos);
    std::string json = Get(port, kRankingJsonPath);
    EXPECT_NE(json.find(R"("score":4321,"name":"Kanon")"), std::string::npos) << json;
}

TEST_P(RankingHttp, MarkupAndSqlInTextsAreKeptAsText) {
    StartServer();
    ASSERT_EQ(Send(port, GameRequest(10, "<b onclick=x>", "javascript:alert(1)", "<script>alert(1)</script>")).status,
              200);
    ASSERT_EQ(Send(port, GameRequest(20, "x');DROP TABLE s;--", "http://", "1' OR '1'='1")).status, 200);

    std::string page = Get(port, kRankingPagePath);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_EQ(page.find("<b onclick"), std::string::npos);
    EXPECT_EQ(page.find("href=\"javascript"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    std::vector<StoredScore> rows = store->TopScores(100);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "x');DROP TABLE s;--");
    EXPECT_EQ(rows[0].comment, "1' OR '1'='1");
}

TEST_P(RankingHttp, RefusesMalformedSubmissionsWith400AndStoresNothing) {
    StartServer();
    const std::string ok = "&name=a&url=http://&comm=";
    const char* bodies[] = {"",
                            "score=1&name=a&url=http://",
                            "name=a&score=1&url=&comm=",
                            "score=-5&name=a&url=&comm=",
                            "score=100000&name=a&url=&comm=",
                            "score=99999999999999999999&name=a&url=&comm=",
                            "score=12x&name=a&url=&comm=",
                            "score=&name=a&url=&comm=",
                            "score=1&name=&url=&comm=",
                            "score=1&name=12345678901234567890&url=&comm=",
                            "score=1&name=a%00b&url=&comm=",
                            "score=1&name=\xff\xfe\xff&url=&comm="};
    for (const char* body : bodies) EXPECT_EQ(Send(port, RawScoreRequest(body)).status, 400) << body;
    EXPECT_EQ(Send(port, RawScoreRequest("score=1&name=a&url=" + std::string(40, 'u') + "&comm=")).status, 400);
    EXPECT_EQ(Send(port, RawScoreRequest("score=1" + ok + std::string(80, 'c'))).status, 400);
    EXPECT_TRUE(store->TopScores(100).empty());
}

TEST_P(RankingHttp, OversizedBodyIsRefusedWith413) {
    StartServer();
    std::string body = "score=1&name=a&url=&comm=" + std::string(9000, 'x');
    EXPECT_EQ(Send(port, RawScoreRequest(body)).status, 413);
    EXPECT_TRUE(store->TopScores(100).empty());
}

TEST_P(RankingHttp, StoresTheOriginalGamesUnescapedShiftJisTextsAsUtf8) {
    StartServer();
    // "テスト" in Shift_JIS; a bare "&" and "%" as the original game sent them.
    Exchange reply = Send(port, RawScoreRequest("score=500&name=\x83\x65\x83\x58\x83\x67&url=http://a.example/?p=1&q=2"
                                                "&comm=100% & %G1 sure"));
    ASSERT_EQ(reply.status, 200) << reply.response;
    std::vector<StoredScore> rows = store->TopScores(100);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "テスト");
    EXPECT_EQ(rows[0].homePage, "http://a.example/?p=1&q=2");
    EXPECT_EQ(rows[0].comment, "100% & %G1 sure");
}

TEST_P(RankingHttp, ReSendWithinAMinuteIsAnsweredButStoredOnce) {
    StartServer();
    ASSERT_EQ(Send(port, GameRequest(77, "twice")).status, 200);
    Exchange again = Send(port, GameRequest(77, "twice"));
    EXPECT_EQ(again.status, 200);
    EXPECT_NE(again.response.find("already stored"), std::string::npos);
}

TEST_P(RankingHttp, FloodFromOneAddressIsLimitedWhileOthersAreServed) {
    ServerSettings settings = Unlimited();
    settings.postsPerMinute = 3;
    StartServer(settings);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Send(port, GameRequest(i, "flood")).status, 200);
    EXPECT_EQ(Send(port, GameRequest(9, "flood")).status, 429);
    EXPECT_EQ(Send(port, GameRequest(5, "neighbour"), "127.0.0.2").status, 200);
}

TEST_P(RankingHttp, BehindAProxyTheLimitCountsThePlayersAddresses) {
    ServerSettings settings = Unlimited();
    settings.postsPerMinute = 1;
    settings.behindProxy = true;
    StartServer(settings);
    auto fromPlayer = [](std::string request, const std::string& address) {
        return request.insert(request.find('\n') + 1, "X-Real-IP: " + address + "\n");
    };
    EXPECT_EQ(Send(port, fromPlayer(GameRequest(1, "one"), "203.0.113.1")).status, 200);
    EXPECT_EQ(Send(port, fromPlayer(GameRequest(2, "one"), "203.0.113.1")).status, 429);
    EXPECT_EQ(Send(port, fromPlayer(GameRequest(3, "two"), "203.0.113.2")).status, 200);
}

// Sends `atOnce`, then `trickled` one byte a second until the server answers or hangs
// up; gives how many bytes were trickled by then (20 at most).
int TrickledBeforeCutOff(int port, const std::string& atOnce, const std::string& trickled) {
    int fd = Connect(port);
    int sent = 0;
    if (fd >= 0 && (atOnce.empty() || send(fd, atOnce.data(), atOnce.size(), MSG_NOSIGNAL) > 0)) {
        char reply[256];
        while (sent < 20 && recv(fd, reply, sizeof reply, MSG_DONTWAIT) < 0 &&
               send(fd, trickled.data() + sent, 1, MSG_NOSIGNAL) == 1) {
            ++sent;
            std::this_thread::sleep_for(1s);
        }
    }
    close(fd);
    return sent;
}

TEST_P(RankingHttp, ClientsTricklingOneByteASecondAreCutOffWhileOthersAreServed) {
    ServerSettings settings = Unlimited();
    settings.readTimeLimitSeconds = 2;
    StartServer(settings);
    std::string request = GameRequest(1, "slow");
    std::size_t bodyStart = request.find("\n\n") + 2;
    auto slowHeader = std::async(std::launch::async, TrickledBeforeCutOff, port, "", request);
    auto slowBody = std::async(std::launch::async, TrickledBeforeCutOff, port, request.substr(0, bodyStart),
                               request.substr(bodyStart));
    EXPECT_EQ(Send(port, GameRequest(2, "quick")).status, 200);
    EXPECT_LT(slowHeader.get(), 8);
    EXPECT_LT(slowBody.get(), 8);
    std::vector<StoredScore> rows = store->TopScores(100);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "quick");
}

TEST_P(RankingHttp, StoppingLetsARequestInFlightFinish) {
    StartServer();
    std::string request = GameRequest(3, "inflight");
    int fd = Connect(port);
    ASSERT_GE(fd, 0);
    std::size_t half = request.size() - 10;
    ASSERT_EQ(send(fd, request.data(), half, MSG_NOSIGNAL), static_cast<ssize_t>(half));
    std::this_thread::sleep_for(200ms);  // the server now reads the body
    auto stopped = std::async(std::launch::async, [&] { server.reset(); });
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(send(fd, request.data() + half, request.size() - half, MSG_NOSIGNAL), 10);
    EXPECT_EQ(FinishExchange(fd).status, 200);
    stopped.get();
    EXPECT_EQ(store->TopScores(100).size(), 1u);
}

TEST_P(RankingHttp, UnreachableDatabaseIsAnswered503AndTheServerReconnectsLater) {
    if (GetParam() != "postgresql") GTEST_SKIP() << "only a database server can refuse connections";
    StartServer();
    ASSERT_EQ(Send(port, GameRequest(1, "before")).status, 200);
    // Done from the server's "postgres" database, beside this test's own.
    std::size_t slash = location.rfind('/');
    std::string database = location.substr(slash + 1);
    pqxx::connection admin(location.substr(0, slash + 1) + "postgres");
    pqxx::nontransaction sql(admin);
    auto allowConnections = [&](bool allow) {
        std::string statement = "ALTER DATABASE " + database;
        statement += allow ? " WITH ALLOW_CONNECTIONS true" : " WITH ALLOW_CONNECTIONS false";
        sql.exec(statement);
    };
    allowConnections(false);
    std::string cutConnections = "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '";
    cutConnections += database;  // ranking_N, made by the test
    cutConnections += '\'';
    sql.exec(cutConnections);
    EXPECT_EQ(Send(port, GameRequest(2, "lost")).status, 503);
    allowConnections(true);
    EXPECT_EQ(Send(port, GameRequest(3, "after")).status, 200);
    EXPECT_EQ(store->TopScores(100).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Backends, RankingHttp, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vemol::ranking::testing
