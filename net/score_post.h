// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sending one score entry to the ranking script: one TCP connection, the request written
// whole, then the server's status line read back. The caller learns whether the server
// took the score, or what went wrong. Our own server also names where the replay of the
// sent game may follow, over a second connection of the same kind.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "net/host_lookup.h"
#include "net/ranking_settings.h"
#include "net/score_request.h"

namespace vemol::net {

enum class SendOutcome {
    Sent,             // the request was written and the server answered with a 2xx status
    HostNotFound,     // no host entry for the ranking host
    LookupTimedOut,   // the name service did not answer within the time limit
    NoSocket,         // the system would not give us a socket
    ConnectRefused,   // the server refused the connection
    ConnectFailed,    // the server could not be reached
    ConnectTimedOut,  // no connection within the time limit
    SendFailed,       // the connection broke before the request was written
    NoReply,          // the connection ended before a status line came back
    ReplyTimedOut,    // no status line within the time limit
    Rejected,         // the server answered with another status, or with no HTTP at all
};

// Finding, reaching and hearing from the server never takes longer than this (plus a
// short grace for writing the request), so an unreachable server cannot freeze the game.
constexpr std::chrono::milliseconds kRankingTimeLimit{10000};

struct ScoreDestination {
    std::string path;
    std::string host;                   // a name, a dotted IPv4 address or a bracketed IPv6 address
    std::optional<std::uint16_t> port;  // host byte order; unset: the "http" service or 80
    std::chrono::milliseconds timeLimit = kRankingTimeLimit;
    std::shared_ptr<HostLookup> lookup = SystemHostLookup();
};

// Resolves, connects, writes `request`, reads the status line and closes. With
// `uploadPath`, a 2xx reply's headers are read too, within the same time limit, and the
// path our ranking server names for the entry's replay is put there (left empty when the
// reply names none, or names one the game must not follow).
SendOutcome PostScore(const ScoreDestination& destination, const std::string& request,
                      std::string* uploadPath = nullptr);

// The reply header in which our ranking server names where the sent entry's replay goes.
constexpr std::string_view kReplayUploadHeader = "X-Vemol-Replay-Upload";
// The upload path from a reply's header lines; empty unless it is a path on the same
// server under /replays/upload/ with nothing that could turn it into another request.
std::string UploadPathOfReply(std::string_view header);

// The upload of a replay file to `path`: an HTTP/1.0 POST with its Content-Length.
std::string FormatReplayUpload(std::string_view path, std::span<const std::uint8_t> replay);

// The ranking script on `server`, at its port (unset: the "http" service's).
ScoreDestination RankingDestination(const RankingServer& server);

// Formats `entry` and posts it to RankingDestination(server).
SendOutcome SendScore(const RankingServer& server, const ScoreEntry& entry);

// SendScore, then, when the server asks for the entry's replay and `replay` holds one,
// its upload to the same server within a time limit of its own. The upload never changes
// the outcome: a failed one is told on stderr in one line.
SendOutcome SendScoreWithReplay(const RankingServer& server, const ScoreEntry& entry,
                                std::shared_ptr<const std::vector<std::uint8_t>> replay);

}  // namespace vemol::net
