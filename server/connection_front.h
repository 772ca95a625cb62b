// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The public side of the server: one thread that accepts every connection, holds it in
// epoll while the request arrives and hands it to CivetWeb (listening on 127.0.0.1 only)
// once it is complete. A client that trickles bytes or sends nothing therefore costs a
// few kilobytes and no request thread, and the front enforces what CivetWeb cannot: a
// limit for the whole request, a limit for silence, and a cap on the connections of one
// address (one /64 for IPv6) and of everyone together.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "server/listen_address.h"

namespace vemol::ranking {

struct FrontLimits {
    std::chrono::seconds whole{10};   // for the request to arrive complete
    std::chrono::seconds silence{5};  // without a byte from the client
    std::chrono::seconds reply{10};   // for the client to take the reply
    int perAddress = 8;               // connections open at once from one address or /64
    bool loopbackUncapped = false;    // no cap for 127.0.0.1 and ::1: a proxy there brings every player
    int total = 8000;                 // connections open at once in all
    std::size_t largestRequest = 16 * 1024 + 8 * 1024 + 16;  // headers and a body of 8 KiB
    // Replay uploads take larger bodies (request_shape.h); this many may be held at once,
    // so uploads cannot fill the server's memory.
    int largeRequests = 16;
};

// A request the front answered itself, for the request log.
struct FrontRefusal {
    std::string address;
    std::string method;
    std::string path;
    int status;
    std::chrono::steady_clock::duration took;
    std::string outcome;
};

class ConnectionFront {
public:
    // Listens on `address` at once (throws std::runtime_error when it cannot) and passes
    // complete requests to 127.0.0.1:`backendPort`.
    ConnectionFront(const ListenAddress& address, int backendPort, FrontLimits limits,
                    std::function<void(const FrontRefusal&)> log);
    // Stops accepting, finishes the exchanges under way within their limits, then returns.
    // ClientOf stays usable afterwards.
    void Stop();
    ~ConnectionFront();
    ConnectionFront(const ConnectionFront&) = delete;
    ConnectionFront& operator=(const ConnectionFront&) = delete;

    int port() const;
    // The client behind the back-end connection whose local port is `backendSidePort`;
    // empty when there is none (a request that did not come through the front).
    std::string ClientOf(int backendSidePort) const;

private:
    struct Loop;
    std::unique_ptr<Loop> loop_;
};

}  // namespace vemol::ranking
