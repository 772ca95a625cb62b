// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The HTTP side of the ranking: the game's score script, the ranking page, the same
// rows as JSON, the replays that verify scores and a health check, served by CivetWeb.
#include <memory>
#include <string>

#include "server/replay_checker.h"
#include "server/score_store.h"

namespace vemol::ranking {

// Where the game posts its scores and where its "Ranking Page" points.
constexpr const char* kScoreScriptPath = "/home/kanoreti/cgi-bin/cgi3/veranking.cgi";
constexpr const char* kRankingPagePath = "/home/kanoreti/ranking.html";
constexpr const char* kRankingJsonPath = "/api/ranking.json";
constexpr const char* kHealthPath = "/healthz";
constexpr const char* kMetricsPath = "/metrics";

// A request body larger than this is refused unread.
constexpr long long kLargestBody = 8 * 1024;

struct ServerSettings {
    std::string listen = "127.0.0.1:8080";  // ADDR:PORT; port 0 picks a free one
    int postsPerMinute = 6;                 // per address; 0: no limit
    int readTimeLimitSeconds = 10;          // for a whole request to arrive
    int threads = 32;                       // complete requests served at once
    int connectionsPerAddress = 8;          // open at once from one address (one /64 for IPv6)
    bool behindProxy = false;               // take the sender from X-Real-IP set by a local proxy
    std::string metricsListen;              // ADDR:PORT serving only /metrics; empty: on `listen`
    int replayQueue = 16;                   // uploaded replays waiting for their check; 0: no uploads
    ReplayVerifier verifier;                // empty: the game's rules (replay::VerifyReplay)
};

class RankingServer {
public:
    // Listens at once; throws std::runtime_error when it cannot. Clients reach CivetWeb
    // through a front that waits for each request to arrive whole (connection_front.h).
    RankingServer(ScoreStore& store, const ServerSettings& settings);
    // Finishes the requests in flight, stores what they sent, then returns.
    ~RankingServer();
    RankingServer(const RankingServer&) = delete;
    RankingServer& operator=(const RankingServer&) = delete;

    int port() const;
    // The port of `metricsListen`; 0 when /metrics is served on the public listener.
    int metricsPort() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace vemol::ranking
