#pragma once
// Sending one score entry to the ranking script: one TCP connection, the request written
// whole, nothing read back. The caller learns whether the request was written.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/host_lookup.h"
#include "net/score_request.h"

namespace vemol::net {

enum class SendOutcome {
    Sent,            // the whole request was written to a connected socket
    HostNotFound,    // no host entry for the ranking host
    LookupTimedOut,  // the name service did not answer within the time limit
    NoSocket,        // the system would not give us a socket
    ConnectFailed,   // the server refused or could not be reached
    ConnectTimedOut, // no connection within the time limit
    SendFailed,      // the connection broke before the request was written
};

// The name lookup and the connection together never take longer than this, so an
// unreachable server cannot freeze the game for minutes.
constexpr std::chrono::milliseconds kRankingTimeLimit{10000};

struct ScoreDestination {
    std::string host;
    std::string path;
    std::optional<std::uint16_t> port;  // host byte order; unset: the "http" service or 80
    std::chrono::milliseconds timeLimit = kRankingTimeLimit;
    std::shared_ptr<HostLookup> lookup = SystemHostLookup();
};

// Resolves, connects, writes `request` and closes.
SendOutcome PostScore(const ScoreDestination& destination, const std::string& request);

// The game's own destination: the ranking host chosen at build time, the ranking script,
// the port of the "http" service. Test hook: VEMOL_TEST_RANKING_HOST and
// VEMOL_TEST_RANKING_PORT, read only when set, point the game at a stand-in ranking
// server (the end-to-end tests run one on loopback).
ScoreDestination RankingDestination();

// Formats `entry` and posts it to RankingDestination().
SendOutcome SendScore(const ScoreEntry& entry);

}  // namespace vemol::net
