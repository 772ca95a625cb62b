// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/listen_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <charconv>

namespace vemol::ranking {
namespace {

std::optional<int> ReadPort(std::string_view text) {
    int port = -1;
    if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), ::isdigit)) return std::nullopt;
    std::from_chars(text.data(), text.data() + text.size(), port);
    if (port < 0 || port > 65535) return std::nullopt;
    return port;
}

// inet_pton alone accepts exactly four decimal parts of 0 to 255, no leading "+" or
// spaces; the digits check refuses the hex and octal forms inet_aton would take.
bool IsDottedQuad(const std::string& host, in_addr& out) {
    if (host.empty() || !std::all_of(host.begin(), host.end(), [](char c) { return c == '.' || ::isdigit(c); }))
        return false;
    return inet_pton(AF_INET, host.c_str(), &out) == 1;
}

}  // namespace

std::optional<ListenAddress> ParseListenAddress(const std::string& text) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) return std::nullopt;
    std::optional<int> port = ReadPort(std::string_view(text).substr(colon + 1));
    if (!port) return std::nullopt;
    ListenAddress address;
    address.host = text.substr(0, colon);
    address.port = *port;
    if (address.host.size() > 2 && address.host.front() == '[' && address.host.back() == ']') {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&address.socket);
        std::string inner = address.host.substr(1, address.host.size() - 2);
        if (inet_pton(AF_INET6, inner.c_str(), &v6->sin6_addr) != 1) return std::nullopt;
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<std::uint16_t>(*port));
        address.length = sizeof(sockaddr_in6);
        return address;
    }
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address.socket);
    if (!IsDottedQuad(address.host, v4->sin_addr)) return std::nullopt;
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<std::uint16_t>(*port));
    address.length = sizeof(sockaddr_in);
    return address;
}

std::string AddressText(const sockaddr_storage& address) {
    char text[INET6_ADDRSTRLEN] = "?";
    if (address.ss_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(address).sin_addr, text, sizeof text);
    } else if (address.ss_family == AF_INET6) {
        const in6_addr& v6 = reinterpret_cast<const sockaddr_in6&>(address).sin6_addr;
        // A client reaching a dual-stack socket over IPv4 is shown, and limited, as IPv4.
        if (IN6_IS_ADDR_V4MAPPED(&v6)) return inet_ntop(AF_INET, &v6.s6_addr[12], text, sizeof text);
        inet_ntop(AF_INET6, &v6, text, sizeof text);
    }
    return text;
}

}  // namespace vemol::ranking

namespace vemol::ranking {

std::string SenderRange(const std::string& address) {
    in6_addr v6{};
    if (address.find(':') == std::string::npos || inet_pton(AF_INET6, address.c_str(), &v6) != 1) return address;
    std::fill(v6.s6_addr + 8, v6.s6_addr + 16, 0);
    char text[INET6_ADDRSTRLEN] = "";
    inet_ntop(AF_INET6, &v6, text, sizeof text);
    return std::string(text) + "/64";
}

}  // namespace vemol::ranking
