// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ranking_client.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/ranking_settings.h"
#include "net/score_request.h"

namespace vemol::ranking::testing {
namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(const char* address, int port) {
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, address, &socketAddress.sin_addr);
    return socketAddress;
}

}  // namespace

int Connect(int port, const char* from) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in source = Loopback(from, 0), destination = Loopback("127.0.0.1", port);
    if (bind(fd, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&destination), sizeof destination) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

Exchange Send(int port, std::string_view request, const char* from, std::chrono::milliseconds limit) {
    int fd = Connect(port, from);
    if (fd < 0) return {};
    if (!request.empty()) (void)send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    return FinishExchange(fd, limit);
}

Exchange FinishExchange(int fd, std::chrono::milliseconds limit) {
    Exchange exchange;
    auto deadline = Clock::now() + limit;
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd entry{fd, POLLIN, 0};
        if (left <= 0 || poll(&entry, 1, static_cast<int>(left)) <= 0) break;
        ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        exchange.response.append(buffer, static_cast<std::size_t>(got));
    }
    close(fd);
    if (exchange.response.starts_with("HTTP/1.") && exchange.response.size() >= 12)
        exchange.status = std::stoi(exchange.response.substr(9, 3));
    return exchange;
}

std::string GameRequest(int score, std::string_view name, std::string_view homePage, std::string_view comment) {
    net::ScoreEntry entry{score, std::string(name), std::string(homePage), std::string(comment)};
    return net::FormatScoreRequest(net::kRankingScriptPath, entry);
}

std::string RawScoreRequest(std::string_view body) {
    return "POST " + std::string(net::kRankingScriptPath) + " HTTP/1.0\nContent-Length:" + std::to_string(body.size()) +
           "\n\n" + std::string(body) + "\n";
}

std::string Get(int port, std::string_view path) {
    std::string response = Send(port, "GET " + std::string(path) + " HTTP/1.0\r\n\r\n").response;
    std::size_t end = response.find("\r\n\r\n");
    return end == std::string::npos ? response : response.substr(end + 4);
}

}  // namespace vemol::ranking::testing
