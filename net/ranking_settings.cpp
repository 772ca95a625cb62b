// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/ranking_settings.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>

#ifndef VEMOL_RANKING_HOST_VALUE
#define VEMOL_RANKING_HOST_VALUE "ranking.krm-games.example"
#endif
#ifndef VEMOL_HOME_PAGE_ADDRESS_VALUE
#define VEMOL_HOME_PAGE_ADDRESS_VALUE "http://www.krm-games.example/"
#endif

namespace vemol::net {
namespace {

constexpr std::size_t kLongestHostName = 253;
constexpr std::size_t kLongestLabel = 63;

bool IsLabelCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHostName(std::string_view name) {
    if (name.empty() || name.size() > kLongestHostName) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = std::min(name.find('.', start), name.size());
        std::string_view label = name.substr(start, end - start);
        if (label.empty() || label.size() > kLongestLabel || label.front() == '-' || label.back() == '-' ||
            !std::all_of(label.begin(), label.end(), IsLabelCharacter))
            return false;
        start = end + 1;
    }
    // All digits and dots is an address, valid or not, never a name.
    return !std::all_of(name.begin(), name.end(), [](char c) { return IsDigit(c) || c == '.'; });
}

bool IsDottedAddress(std::string_view text) {
    in_addr address{};
    return std::count(text.begin(), text.end(), '.') == 3 &&
           inet_pton(AF_INET, std::string(text).c_str(), &address) == 1;
}

bool IsBracketedIpv6(std::string_view text) {
    in6_addr address{};
    return text.size() > 2 && text.front() == '[' && text.back() == ']' &&
           inet_pton(AF_INET6, std::string(text.substr(1, text.size() - 2)).c_str(), &address) == 1;
}

std::optional<std::uint16_t> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), IsDigit)) return std::nullopt;
    unsigned value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (value < 1 || value > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::string RankingServer::text() const { return port ? host + ":" + std::to_string(*port) : host; }

std::string RankingServer::pageAddress() const { return "http://" + text() + std::string(kRankingPagePath); }

std::optional<RankingServer> ParseRankingServer(std::string_view text) {
    // The port follows the last ':' outside the brackets of an IPv6 address.
    const std::size_t closing = text.rfind(']');
    const std::size_t colon = text.rfind(':');
    const bool hasPort = colon != std::string_view::npos && (closing == std::string_view::npos || colon > closing);
    RankingServer server;
    std::string_view host = hasPort ? text.substr(0, colon) : text;
    if (hasPort) {
        server.port = ParsePort(text.substr(colon + 1));
        if (!server.port) return std::nullopt;
    }
    if (!IsHostName(host) && !IsDottedAddress(host) && !IsBracketedIpv6(host)) return std::nullopt;
    server.host = std::string(host);
    return server;
}

RankingServer BuiltInRankingServer() {
    // HOST[:PORT] as for the command line; a value it would refuse is taken as the host
    // name it always was.
    return ParseRankingServer(VEMOL_RANKING_HOST_VALUE).value_or(RankingServer{VEMOL_RANKING_HOST_VALUE, std::nullopt});
}

std::string_view homePageAddress() { return VEMOL_HOME_PAGE_ADDRESS_VALUE; }

}  // namespace vemol::net
