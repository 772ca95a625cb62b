// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The score request on the wire, against stand-in ranking servers on 127.0.0.1.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <climits>
#include <condition_variable>
#include <mutex>

#include "loopback_server.h"
#include "net/ranking_settings.h"
#include "net/score_post.h"
#include "net/send_score_rules.h"

namespace vemol::net {
namespace {

using testing::LoopbackServer;
using namespace std::chrono_literals;

const std::string kHead = "POST /home/kanoreti/cgi-bin/cgi3/veranking.cgi HTTP/1.0\n";

ScoreDestination Loopback(std::uint16_t port, std::string host = "127.0.0.1") {
    ScoreDestination destination;
    destination.host = std::move(host);
    destination.path = std::string(kRankingScriptPath);
    destination.port = port;
    return destination;
}

SendOutcome Post(const ScoreDestination& destination, const ScoreEntry& entry) {
    return PostScore(destination, FormatScoreRequest(destination.path, entry));
}

TEST(ScorePost, WorkedExampleGoesOutByteForByte) {
    LoopbackServer server;
    ScoreEntry entry{1234, "abc", "http://", ""};
    EXPECT_EQ(Post(Loopback(server.port()), entry), SendOutcome::Sent);
    EXPECT_EQ(server.received(), kHead + "Content-Length:37\n\nscore=1234&name=abc&url=http://&comm=\n");
}

TEST(ScorePost, LongestValuesFitAndAreCountedWhole) {
    LoopbackServer server;
    ScoreEntry entry{INT32_MIN, std::string(19, 'n'), "http://" + std::string(32, 'h'), std::string(79, 'c')};
    EXPECT_EQ(Post(Loopback(server.port(), "localhost"), entry), SendOutcome::Sent);
    std::string body = "score=-2147483648&name=" + entry.name + "&url=" + entry.homePage + "&comm=" + entry.comment;
    ASSERT_EQ(body.size(), 171u);
    std::string request = server.received();
    EXPECT_EQ(request, kHead + "Content-Length:171\n\n" + body + "\n");
    EXPECT_LT(request.size(), 1024u);
}

TEST(ScorePost, TypedSeparatorsCannotForgeFields) {
    LoopbackServer server;
    ScoreEntry entry{50, "a&score=99999;x=1", "http://x/?a=1+2", "100% sure\r\nnext\tline 名前"};
    EXPECT_EQ(Post(Loopback(server.port()), entry), SendOutcome::Sent);
    std::string body =
        "score=50&name=a%26score%3D99999%3Bx%3D1&url=http://x/?a%3D1%2B2&comm=100%25 sure%0D%0Anext%09line 名前";
    EXPECT_EQ(server.received(), kHead + "Content-Length:" + std::to_string(body.size()) + "\n\n" + body + "\n");
}

// Each way a send can end, with what the player is told and whether the score may be
// sent again.
struct FailureRow {
    const char* situation;
    SendOutcome outcome;
    SendScoreResult shown;
};

void ExpectDialogOutcome(const FailureRow& row, const ScoreDestination& destination) {
    RankingState ranking;
    SendScoreForm typed{"700", "abc", "", "http://"};
    ScoreSender sender = [&](const ScoreEntry& entry) {
        SendOutcome outcome = Post(destination, entry);
        EXPECT_EQ(outcome, row.outcome) << row.situation;
        return outcome;
    };
    EXPECT_EQ(PressSend(ranking, 700, typed, sender), row.shown) << row.situation;
    EXPECT_EQ(ranking.lastSentScore, row.shown == SendScoreResult::Sent ? 700 : -1) << row.situation;
}

TEST(ScorePost, FailureTableWithWhatThePlayerSees) {
    {
        // Digits and dots that are no address: the host database refuses it without asking
        // any name server, so nothing leaves the machine.
        ExpectDialogOutcome({"no such host", SendOutcome::HostNotFound, SendScoreResult::HostNotFound},
                            Loopback(80, "999.999.999.999"));
    }
    {
        testing::RefusingPort refusing;
        ExpectDialogOutcome({"refused", SendOutcome::ConnectRefused, SendScoreResult::Refused},
                            Loopback(refusing.port()));
    }
    {
        testing::SilentListener silent;
        ScoreDestination destination = Loopback(silent.port());
        destination.timeLimit = 300ms;
        ExpectDialogOutcome({"never accepts", SendOutcome::ConnectTimedOut, SendScoreResult::NoAnswer}, destination);
    }
    {
        LoopbackServer closing(LoopbackServer::Manner::CloseAtOnce);
        ExpectDialogOutcome({"closes without a reply", SendOutcome::NoReply, SendScoreResult::ConnectionBroke},
                            Loopback(closing.port()));
        closing.received();
        EXPECT_TRUE(closing.accepted());
    }
    {
        LoopbackServer answering(LoopbackServer::Manner::AnswerFirst);
        ExpectDialogOutcome({"answers first", SendOutcome::Sent, SendScoreResult::Sent}, Loopback(answering.port()));
        EXPECT_EQ(answering.received(), kHead + "Content-Length:36\n\nscore=700&name=abc&url=http://&comm=\n");
    }
    {
        LoopbackServer failing(LoopbackServer::Manner::Listen, "HTTP/1.1 500 Internal Server Error\r\n\r\n");
        ExpectDialogOutcome({"error status", SendOutcome::Rejected, SendScoreResult::Rejected},
                            Loopback(failing.port()));
    }
    {
        LoopbackServer late(LoopbackServer::Manner::Listen, LoopbackServer::kAccepted, 1500ms);
        ScoreDestination destination = Loopback(late.port());
        destination.timeLimit = 300ms;
        ExpectDialogOutcome({"answers too late", SendOutcome::ReplyTimedOut, SendScoreResult::NoAnswer}, destination);
    }
}

// A host database with staged answers; byName can be held until the test lets it go.
class StagedLookup : public HostLookup {
public:
    std::vector<in_addr_t> forward, reverse;
    std::vector<std::string> askedNames;
    std::vector<in_addr_t> askedAddresses;
    bool holdForward = false;

    std::vector<in_addr_t> byName(const std::string& name) override {
        std::unique_lock lock(mutex_);
        askedNames.push_back(name);
        released_.wait(lock, [&] { return !holdForward; });
        return forward;
    }
    std::vector<in_addr_t> byAddress(in_addr_t address) override {
        std::lock_guard lock(mutex_);
        askedAddresses.push_back(address);
        return reverse;
    }
    void release() {
        std::lock_guard lock(mutex_);
        holdForward = false;
        released_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
};

in_addr_t Address(const char* dotted) { return inet_addr(dotted); }

// Our server's 200 names where the sent game's replay goes: the path is read from the
// reply within the send, and the upload carries the file's bytes whole. A reply without
// the header, a refusal, or a path that could lead the upload elsewhere gives no path.
TEST(ScorePost, UploadPathIsReadFromA200AndTheReplayGoesOutWhole) {
    ScoreEntry entry{900, "abc", "http://", ""};
    LoopbackServer ours(LoopbackServer::Manner::Listen,
                        "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nx-vemol-replay-upload:  "
                        "/replays/upload/0f3a\r\n\r\nstored\n");
    std::string path = "left over";
    ScoreDestination destination = Loopback(ours.port());
    EXPECT_EQ(PostScore(destination, FormatScoreRequest(destination.path, entry), &path), SendOutcome::Sent);
    EXPECT_EQ(path, "/replays/upload/0f3a");
    EXPECT_EQ(ours.received(), kHead + "Content-Length:36\n\nscore=900&name=abc&url=http://&comm=\n");

    LoopbackServer older;
    EXPECT_EQ(PostScore(Loopback(older.port()), FormatScoreRequest(destination.path, entry), &path), SendOutcome::Sent);
    EXPECT_EQ(path, "");
    LoopbackServer refusing(LoopbackServer::Manner::Listen,
                            "HTTP/1.0 429 Too Many\r\nX-Vemol-Replay-Upload: /replays/upload/0f3a\r\n\r\n");
    EXPECT_EQ(PostScore(Loopback(refusing.port()), FormatScoreRequest(destination.path, entry), &path),
              SendOutcome::Rejected);
    EXPECT_EQ(path, "");
    for (const char* hostile : {"http://elsewhere/replays/upload/0f3a", "/replays/upload/0f3a HTTP/1.0",
                                "/replays/upload/../../home/kanoreti/x", "/replays/upload/a%0d%0aHost:x",
                                "/home/kanoreti/cgi-bin/cgi3/veranking.cgi", "/replays/upload/"}) {
        EXPECT_EQ(UploadPathOfReply(std::string("HTTP/1.0 200 OK\r\nX-Vemol-Replay-Upload: ") + hostile), "")
            << hostile;
    }

    LoopbackServer upload(LoopbackServer::Manner::Listen, "HTTP/1.0 202 Accepted\r\n\r\n");
    const std::vector<std::uint8_t> replay{'V', 0, '\r', '\n', 0xFF, 7};
    destination = Loopback(upload.port());
    destination.path = "/replays/upload/0f3a";
    EXPECT_EQ(PostScore(destination, FormatReplayUpload(destination.path, replay)), SendOutcome::Sent);
    EXPECT_EQ(upload.received(),
              "POST /replays/upload/0f3a HTTP/1.0\r\nContent-Type: application/x-vemol-replay\r\n"
              "Content-Length: 6\r\n\r\nV" +
                  std::string(1, '\0') + "\r\n\xFF\x07");
}

TEST(ScorePost, HostResolutionRules) {
    LoopbackServer server;
    auto lookup = std::make_shared<StagedLookup>();
    ScoreDestination destination = Loopback(server.port(), "127.0.0.2");
    destination.lookup = lookup;
    ScoreEntry entry{1, "n", "", ""};

    // A dotted address without a reverse entry counts as no host: nothing is opened.
    EXPECT_EQ(Post(destination, entry), SendOutcome::HostNotFound);
    ASSERT_EQ(lookup->askedAddresses.size(), 1u);
    EXPECT_EQ(lookup->askedAddresses[0], Address("127.0.0.2"));
    EXPECT_TRUE(lookup->askedNames.empty());

    // With one, the first address of that entry is the one connected (127.0.0.2 has no
    // listener on this port and would be refused).
    lookup->reverse = {Address("127.0.0.1"), Address("127.0.0.2")};
    EXPECT_EQ(Post(destination, entry), SendOutcome::Sent);
    EXPECT_NE(server.received().find("score=1&name=n"), std::string::npos);

    // A name is looked up forwards, and again the first address is used.
    LoopbackServer second;
    destination = Loopback(second.port(), "ranking.test");
    destination.lookup = lookup;
    lookup->forward = {Address("127.0.0.1"), Address("127.0.0.3")};
    EXPECT_EQ(Post(destination, entry), SendOutcome::Sent);
    EXPECT_EQ(lookup->askedNames, std::vector<std::string>{"ranking.test"});
    EXPECT_FALSE(second.received().empty());
}

TEST(ScorePost, NameServiceThatNeverAnswersTimesOut) {
    auto lookup = std::make_shared<StagedLookup>();
    lookup->holdForward = true;
    ScoreDestination destination = Loopback(80, "slow.test");
    destination.lookup = lookup;
    destination.timeLimit = 200ms;
    EXPECT_EQ(Post(destination, ScoreEntry{}), SendOutcome::LookupTimedOut);
    lookup->release();  // the abandoned worker finishes and drops its answer
}

TEST(RankingServer, OnlyHostsAddressesAndPortsAreTaken) {
    const std::pair<const char*, RankingServer> good[] = {
        {"scores.example.org", {"scores.example.org", std::nullopt}},
        {"localhost:8080", {"localhost", 8080}},
        {"127.0.0.1:65535", {"127.0.0.1", 65535}},
        {"[::1]:1", {"[::1]", 1}},
        {"[2001:db8::7]", {"[2001:db8::7]", std::nullopt}},
        {"a-1.B2", {"a-1.B2", std::nullopt}},
    };
    for (const auto& [text, server] : good) {
        EXPECT_EQ(ParseRankingServer(text), server) << text;
        EXPECT_EQ(server.text(), text);
    }
    for (const char* bad :
         {"",          ":80",   "host:",      "host:0",     "host:65536", "host:8O",   "host:+80", "http://host",
          "host/path", "-host", "host-",      "a..b",       "1.2.3",      "300.1.1.1", "::1",      "[::1",
          "[zz]:80",   "ho st", "host:80:80", "ünï.example"})
        EXPECT_FALSE(ParseRankingServer(bad).has_value()) << bad;
    EXPECT_FALSE(ParseRankingServer(std::string(64, 'a') + ".example").has_value());
    EXPECT_TRUE(ParseRankingServer(std::string(63, 'a') + ".example").has_value());

    ScoreDestination destination = RankingDestination({"scores.example.org", 8080});
    EXPECT_EQ(destination.host, "scores.example.org");
    EXPECT_EQ(destination.port, std::optional<std::uint16_t>(8080));
    EXPECT_EQ(destination.path, "/home/kanoreti/cgi-bin/cgi3/veranking.cgi");
    EXPECT_EQ(destination.timeLimit, 10s);
    EXPECT_EQ(BuiltInRankingServer(), (RankingServer{TEST_RANKING_HOST, std::nullopt}));
    EXPECT_EQ(BuiltInRankingServer().pageAddress(),
              std::string("http://") + TEST_RANKING_HOST + "/home/kanoreti/ranking.html");
}

}  // namespace
}  // namespace vemol::net
