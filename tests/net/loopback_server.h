// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stand-in ranking servers on 127.0.0.1, for tests that must never leave the machine.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace vemol::net::testing {

// Accepts one connection and records every byte received until the client has sent all.
class LoopbackServer {
public:
    enum class Manner {
        Listen,       // read the request to the end, then (after `delay`) write the reply
        AnswerFirst,  // write the reply at once, then read the request
        CloseAtOnce,  // close the connection as soon as it is accepted
    };
    static constexpr const char* kAccepted = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nthanks\r\n";
    explicit LoopbackServer(Manner manner = Manner::Listen, std::string reply = kAccepted,
                            std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    ~LoopbackServer();
    std::uint16_t port() const { return port_; }
    // Waits (up to a few seconds) for the connection to end; the bytes received.
    std::string received();
    bool accepted() const { return accepted_; }

private:
    void serve(Manner manner, const std::string& reply, std::chrono::milliseconds delay);
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::string bytes_;
    std::atomic<bool> accepted_{false};
    std::thread thread_;
};

// A port on 127.0.0.1 that is bound but not listening: connections are refused.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    std::uint16_t port() const { return port_; }

private:
    int socket_ = -1;
    std::uint16_t port_ = 0;
};

// A listener whose accept queue is already full: new connections wait for a handshake
// that never completes, like a server that does not answer.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    std::uint16_t port() const { return port_; }

private:
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::vector<int> queued_;
};

}  // namespace vemol::net::testing
