// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Verified scores over real HTTP: a game recorded on the headless game, its score posted
// as the game posts it, its replay uploaded to the path the answer names, checked by the
// server's own worker, marked on the page and the JSON and offered for download.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <mutex>
#include <regex>
#include <thread>

#include "backend_fixture.h"
#include "ranking_client.h"
#include "replay/replay.h"
#include "server/replay_routes.h"
#include "support/scripted_player.h"

namespace vemol::ranking::testing {
namespace {

using namespace std::chrono_literals;

class RankingReplays : public BackendTest {
protected:
    // The upload path a post's answer names; empty when it names none.
    static std::string UploadPath(const Exchange& answer) {
        std::smatch found;
        std::regex header(std::string(kReplayUploadHeader) + ": (\\S+)\r\n", std::regex::icase);
        return std::regex_search(answer.response, found, header) ? std::string(found[1]) : std::string();
    }
    Exchange Upload(const std::string& path, const std::vector<std::uint8_t>& replay) {
        std::string request = "POST " + path + " HTTP/1.0\r\nContent-Type: application/x-vemol-replay\r\n" +
                              "Content-Length: " + std::to_string(replay.size()) + "\r\n\r\n";
        return Send(port, request + std::string(replay.begin(), replay.end()));
    }
    std::string PostedPath(int score, const char* name) {
        Exchange answer = Send(port, GameRequest(score, name));
        EXPECT_EQ(answer.status, 200) << answer.response;
        return UploadPath(answer);
    }
    // Waits for what the JSON shows, as a player reloading the page would.
    std::string JsonOnceItHolds(const std::string& wanted, const char* query = "") {
        std::string json;
        for (auto until = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < until;
             std::this_thread::sleep_for(50ms)) {
            json = Get(port, std::string(kRankingJsonPath) + query);
            if (json.find(wanted) != std::string::npos) break;
        }
        return json;
    }
    std::string Admin(const std::string& arguments) {
        std::string line = std::string(VEMOL_RANKING_BINARY) + " admin --db '" + location + "' " + arguments + " 2>&1";
        FILE* pipe = popen(line.c_str(), "r");
        std::string output;
        char buffer[4096];
        while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
        pclose(pipe);
        return output;
    }
};

struct RecordedGame {
    int score = 0;
    replay::Bytes file;
};

// Half a minute of the scripted player on the headless game, recorded as the game
// records it, then given up with HOME.
const RecordedGame& Recorded() {
    static const RecordedGame game = [] {
        test::Harness h;
        replay::Recorder recorder(h.clock, h.keys);
        h.g.clock = &recorder.clock();
        h.g.keys = &recorder.keyboard();
        h.g.recorder = &recorder;
        h.g.bestScoreKeepable = false;
        h.startGame();
        for (int frame = 0; frame < 1800 && h.g.endCountdown == -1; ++frame) {
            test::ChooseKeys(h);
            h.frame();
        }
        h.keys.releaseAll();
        h.keys.press(Key::Home);
        for (int frame = 0; frame < 1000 && h.g.playing; ++frame) h.frame();
        return RecordedGame{h.g.score, recorder.takeFinishedGame().value_or(replay::Bytes{})};
    }();
    return game;
}

TEST_P(RankingReplays, HonestReplayIsVerifiedShownAndDownloadedWhileForgeriesStayUnverified) {
    const RecordedGame& game = Recorded();
    ASSERT_GT(game.score, 0);
    ASSERT_FALSE(game.file.empty());
    // Uploaded before a stop and still pending: checked after the next start.
    NewScore earlier{game.score, "Earlier", "http://", "", std::time(nullptr), "127.0.0.1", NewUploadToken()};
    ASSERT_EQ(store->AddScores({&earlier, 1}).front(), AddOutcome::Stored);
    ASSERT_TRUE(store->AcceptReplay(earlier.uploadToken, std::time(nullptr), game.file));
    StartServer();

    std::string honest = PostedPath(game.score, "Honest");
    ASSERT_TRUE(TokenOfUploadPath(honest)) << honest;
    std::string forged = PostedPath(game.score + 10, "Forger");
    EXPECT_NE(forged, honest);
    EXPECT_FALSE(PostedPath(5000, "Silent").empty());  // offered, never used
    Exchange resend = Send(port, GameRequest(game.score, "Honest"));
    EXPECT_EQ(resend.status, 200);
    EXPECT_EQ(UploadPath(resend), "") << "a re-send stores nothing, so it gets no upload";

    EXPECT_EQ(Upload(honest, game.file).status, 202);
    EXPECT_EQ(Upload(honest, game.file).status, 404) << "a token is used once";
    EXPECT_EQ(Upload(forged, game.file).status, 202);
    EXPECT_EQ(Upload(std::string(kReplayUploadPath) + std::string(32, 'a'), game.file).status, 404);
    EXPECT_EQ(Upload(PostedPath(1, "Big"), std::vector<std::uint8_t>(replay::kMaxReplayFileBytes + 1)).status, 413);

    std::string json = JsonOnceItHolds(R"("name":"Honest")", "?verified=1");
    json = JsonOnceItHolds(R"("name":"Earlier")", "?verified=1");
    std::smatch replay;
    ASSERT_TRUE(
        std::regex_search(json, replay, std::regex(R"re("name":"Honest"[^}]*"verified":true,"replay":"([^"]+)"\})re")))
        << json;
    EXPECT_EQ(json.find("Forger"), std::string::npos) << json;
    EXPECT_EQ(json.find("Silent"), std::string::npos) << json;
    std::string all = Get(port, kRankingJsonPath);
    EXPECT_NE(all.find(R"("name":"Silent","homePage":"http://","homePageIsLink":false,"comment":"",)"),
              std::string::npos);
    EXPECT_TRUE(std::regex_search(all, std::regex(R"("name":"Silent"[^}]*"verified":false,"replay":null\})"))) << all;
    std::string page = Get(port, std::string(kRankingPagePath) + "?period=day&verified=1");
    EXPECT_NE(page.find("href=\"" + std::string(replay[1]) + "\""), std::string::npos) << page;
    EXPECT_NE(page.find("href=\"?period=day\">All entries"), std::string::npos);

    Exchange download = Send(port, "GET " + std::string(replay[1]) + " HTTP/1.0\r\n\r\n");
    EXPECT_EQ(download.status, 200);
    EXPECT_NE(download.response.find("Content-Type: application/x-vemol-replay"), std::string::npos);
    EXPECT_NE(download.response.find("Content-Disposition: attachment"), std::string::npos);
    std::string body = download.response.substr(download.response.find("\r\n\r\n") + 4);
    EXPECT_TRUE(body == std::string(game.file.begin(), game.file.end())) << "the download is the upload, byte for byte";

    // The forgery's check failed with its reason for the host; its replay is not offered.
    std::string list;
    for (auto until = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < until;
         std::this_thread::sleep_for(50ms)) {
        list = Admin("list");
        if (list.find("\tfailed: ") != std::string::npos) break;
    }
    std::smatch failed;
    ASSERT_TRUE(std::regex_search(list, failed, std::regex("\n(\\d+)\t[^\n]*\tForger\t[^\n]*\tfailed: \\S[^\n]*\n")))
        << list;
    EXPECT_TRUE(std::regex_search(list, std::regex("\tSilent\t[^\n]*\tnone\n"))) << list;
    EXPECT_EQ(Send(port, "GET " + ReplayPath(std::stoll(failed[1])) + " HTTP/1.0\r\n\r\n").status, 404);
    // The host can still take it out to watch it.
    std::string kept = ::testing::TempDir() + "forged.vemolreplay";
    EXPECT_NE(Admin("replay " + std::string(failed[1]) + " " + kept).find("(failed) written to"), std::string::npos);
    std::ifstream in(kept, std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == std::string(game.file.begin(), game.file.end()));
    std::remove(kept.c_str());
}

// A check that waits until the test lets it finish, so the queue can be filled.
struct HeldCheck {
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    void Release() {
        std::lock_guard lock(mutex);
        open = true;
        released.notify_all();
    }
};

TEST_P(RankingReplays, FullQueueAsksToRetryAndExpiredTokensAreRefused) {
    HeldCheck held;
    ServerSettings settings = Unlimited();
    settings.replayQueue = 1;
    settings.verifier = [&held](std::span<const std::uint8_t>, int) {
        std::unique_lock lock(held.mutex);
        held.released.wait(lock, [&] { return held.open; });
        return CheckOutcome{false, "held"};
    };
    StartServer(settings);
    std::vector<std::uint8_t> replay(100, 1);
    std::string first = PostedPath(10, "A"), second = PostedPath(20, "B"), third = PostedPath(30, "C");
    ASSERT_EQ(Upload(first, replay).status, 202);
    auto queueEmptied = [&] {
        for (auto until = std::chrono::steady_clock::now() + 10s;
             Get(port, kMetricsPath).find("vemol_ranking_replay_queue_length 0") == std::string::npos &&
             std::chrono::steady_clock::now() < until;)
            std::this_thread::sleep_for(20ms);
    };
    // The first is taken by the worker, which is held; the second waits in the queue.
    queueEmptied();
    ASSERT_EQ(Upload(second, replay).status, 202);
    Exchange full = Upload(third, replay);
    EXPECT_EQ(full.status, 503);
    EXPECT_NE(full.response.find("Retry-After: "), std::string::npos);
    held.Release();
    queueEmptied();
    EXPECT_EQ(Upload(third, replay).status, 202) << "a refused upload keeps its token";

    NewScore old{40, "Late", "http://", "", std::time(nullptr) - kReplayUploadSeconds - 5, "", NewUploadToken()};
    ASSERT_EQ(store->AddScores({&old, 1}).front(), AddOutcome::Stored);
    EXPECT_EQ(Upload(std::string(kReplayUploadPath) + old.uploadToken, replay).status, 404);
    server.reset();  // its worker checks with `held`
}

INSTANTIATE_TEST_SUITE_P(Backends, RankingReplays, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vemol::ranking::testing
