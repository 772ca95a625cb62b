// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the server listens, as typed after --listen: A.B.C.D:PORT or [IPV6]:PORT.
#include <sys/socket.h>

#include <optional>
#include <string>

namespace vemol::ranking {

struct ListenAddress {
    sockaddr_storage socket{};
    socklen_t length = 0;
    std::string host;  // as typed: "127.0.0.1" or "[::1]"
    int port = 0;      // 0 picks a free port
};

// Nothing unless the text is a dotted IPv4 address with each part 0 to 255, or an IPv6
// address in brackets, then ":" and a port from 0 to 65535.
std::optional<ListenAddress> ParseListenAddress(const std::string& text);

// The text an address is logged and limited by: dotted IPv4 or IPv6 in its short form.
std::string AddressText(const sockaddr_storage& address);

}  // namespace vemol::ranking

namespace vemol::ranking {

// What limits count by: an IPv4 address itself, an IPv6 address's /64 ("2001:db8:1:2::/64"),
// since one home or host is usually given a whole /64 and picks addresses in it freely.
std::string SenderRange(const std::string& address);

}  // namespace vemol::ranking
