// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace vemol::net::testing {
namespace {

int BoundLoopbackSocket(std::uint16_t& port) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot bind a loopback socket");
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

bool Readable(int fd, int milliseconds) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, milliseconds) > 0;
}

}  // namespace

LoopbackServer::LoopbackServer(Manner manner, std::string reply, std::chrono::milliseconds delay) {
    listener_ = BoundLoopbackSocket(port_);
    listen(listener_, 4);
    thread_ = std::thread([this, manner, reply, delay] { serve(manner, reply, delay); });
}

LoopbackServer::~LoopbackServer() {
    if (thread_.joinable()) thread_.join();
    close(listener_);
}

void LoopbackServer::serve(Manner manner, const std::string& reply, std::chrono::milliseconds delay) {
    if (!Readable(listener_, 5000)) return;
    int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) return;
    accepted_ = true;
    auto answer = [&] { send(connection, reply.data(), reply.size(), MSG_NOSIGNAL); };
    if (manner == Manner::AnswerFirst) answer();
    if (manner != Manner::CloseAtOnce) {
        char buffer[4096];
        while (Readable(connection, 5000)) {
            ssize_t n = read(connection, buffer, sizeof buffer);
            if (n <= 0) break;
            bytes_.append(buffer, static_cast<std::size_t>(n));
        }
    }
    if (manner == Manner::Listen) {
        std::this_thread::sleep_for(delay);
        answer();
    }
    close(connection);
}

std::string LoopbackServer::received() {
    if (thread_.joinable()) thread_.join();
    return bytes_;
}

RefusingPort::RefusingPort() { socket_ = BoundLoopbackSocket(port_); }
RefusingPort::~RefusingPort() { close(socket_); }

SilentListener::SilentListener() {
    listener_ = BoundLoopbackSocket(port_);
    listen(listener_, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port_);
    // Queue connections nobody accepts until one of them no longer completes.
    for (int i = 0; i < 64; ++i) {
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        queued_.push_back(fd);
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        pollfd entry{fd, POLLOUT, 0};
        if (poll(&entry, 1, 300) == 0) return;
    }
    throw std::runtime_error("the accept queue never filled");
}

SilentListener::~SilentListener() {
    for (int fd : queued_) close(fd);
    close(listener_);
}

}  // namespace vemol::net::testing
