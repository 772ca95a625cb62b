// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the online ranking lives. The server is chosen when the game starts (the command
// line, then the key file), else it is the one the game was built for
// (VEMOL_RANKING_HOST); the maker's home page is chosen when the game is built
// (VEMOL_HOME_PAGE_ADDRESS); the paths are the server's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vemol::net {

constexpr std::string_view kRankingScriptPath = "/home/kanoreti/cgi-bin/cgi3/veranking.cgi";
constexpr std::string_view kRankingPagePath = "/home/kanoreti/ranking.html";

// A ranking server: a host name, a dotted IPv4 address or a bracketed IPv6 address
// ("[::1]"), and a port. Unset, the port is the "http" service's (80).
struct RankingServer {
    std::string host;
    std::optional<std::uint16_t> port;

    // "host" or "host:port", as the player names it.
    std::string text() const;
    // "http://" + text() + kRankingPagePath.
    std::string pageAddress() const;
    bool operator==(const RankingServer&) const = default;
};

// Deliberate difference: ranking-server-choice.
// Reads "HOST[:PORT]": a host name (letters, digits and hyphens in dot-separated labels
// of at most 63, none starting or ending with a hyphen, 253 in all), a dotted IPv4
// address or a bracketed IPv6 address, then optionally ':' and a port 1 to 65535.
// Nothing for anything else, so a typing mistake is refused rather than sent to.
std::optional<RankingServer> ParseRankingServer(std::string_view text);

// The server the game was built for (VEMOL_RANKING_HOST, HOST[:PORT]).
RankingServer BuiltInRankingServer();
// Full address of the maker's home page ("KRM HOME").
std::string_view homePageAddress();

}  // namespace vemol::net
