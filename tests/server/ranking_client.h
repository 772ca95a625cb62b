// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A plain HTTP client over a raw socket: it sends exactly the bytes it is given (as the
// game does) from a chosen loopback address, and reads the reply until the server closes.
#include <chrono>
#include <string>
#include <string_view>

namespace vemol::ranking::testing {

struct Exchange {
    int status = 0;        // 0: no status line came back
    std::string response;  // everything the server sent
};

// A socket connected from `from` to 127.0.0.1:`port`; -1 when that failed.
int Connect(int port, const char* from = "127.0.0.1");
// Reads until the server closes or `limit` passes, then closes `fd`.
Exchange FinishExchange(int fd, std::chrono::milliseconds limit = std::chrono::seconds(10));

// Sends `request` to 127.0.0.1:`port` from `from` and waits at most `limit` for the reply.
Exchange Send(int port, std::string_view request, const char* from = "127.0.0.1",
              std::chrono::milliseconds limit = std::chrono::seconds(10));

// The game's request for these values, as the game formats it.
std::string GameRequest(int score, std::string_view name, std::string_view homePage = "http://",
                        std::string_view comment = "");

// A request to the score script with this body sent as it is, Content-Length counted.
std::string RawScoreRequest(std::string_view body);

// GET `path`; the reply's body (after the header), or the whole reply when it has none.
std::string Get(int port, std::string_view path);

}  // namespace vemol::ranking::testing
