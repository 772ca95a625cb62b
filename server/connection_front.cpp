// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/connection_front.h"

#include <arpa/inet.h>
#include <civetweb.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <unordered_map>

#include "server/ranking_server.h"
#include "server/request_shape.h"

namespace vemol::ranking {
namespace {

using Clock = std::chrono::steady_clock;

// Scanning every connection for its time limits this often is cheap even with
// thousands of them, and precise enough for limits counted in seconds.
constexpr auto kScanInterval = std::chrono::milliseconds(200);

// One client connection and, once its request is complete, the connection that passes
// it to CivetWeb.
struct Exchange {
    int client = -1;
    int backend = -1;
    int backendSidePort = 0;
    std::string address, range;
    std::string toBackend;  // client bytes not yet passed on
    std::string toClient;   // reply bytes not yet sent
    std::string request;    // the first bytes, for the log should the front answer itself
    bool clientClosed = false, backendClosed = false, backendWriteShut = false;
    bool large = false;  // counted among the large requests held
    Clock::time_point started, lastByte, deadline;
};

void CloseQuietly(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

// Written here, not by CivetWeb: the front answers before a request reaches it.
std::string ShortReply(int status, const char* text) {
    return "HTTP/1.1 " + std::to_string(status) + ' ' + mg_get_response_code_text(nullptr, status) +
           "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " + std::to_string(std::strlen(text) + 1) +
           "\r\nConnection: close\r\n\r\n" + text + '\n';
}

int OpenListener(const ListenAddress& address) {
    int fd = socket(address.socket.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int on = 1, off = 0;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    // "[::]" takes IPv4 clients too, as most servers do.
    if (address.socket.ss_family == AF_INET6) setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address.socket), address.length) != 0 ||
        listen(fd, 4096) != 0) {
        std::string reason = std::strerror(errno);
        if (fd >= 0) close(fd);
        throw std::runtime_error("cannot listen on " + address.host + ':' + std::to_string(address.port) + ": " +
                                 reason);
    }
    return fd;
}

}  // namespace

struct ConnectionFront::Loop {
    FrontLimits limits;
    std::function<void(const FrontRefusal&)> log;
    int listener = -1, wake = -1, epoll = -1, backendPort = 0, port = 0;
    std::atomic<bool> stopping = false;
    std::unordered_map<int, Exchange*> byFd;
    std::unordered_map<std::string, int> openPerRange;
    int open = 0, openLarge = 0;
    mutable std::mutex clientsMutex;
    std::unordered_map<int, std::string> clientOfBackendPort;
    std::thread thread;

    void Watch(int fd, std::uint32_t events, bool add) {
        epoll_event event{};
        event.events = events;
        event.data.fd = fd;
        epoll_ctl(epoll, add ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, fd, &event);
    }

    void Run() {
        Clock::time_point lastScan = Clock::now();
        epoll_event events[256];
        while (!(stopping && byFd.empty())) {
            int count = epoll_wait(epoll, events, 256, static_cast<int>(kScanInterval.count()));
            for (int i = 0; i < count; ++i) {
                int fd = events[i].data.fd;
                if (fd == wake) {
                    std::uint64_t ignored;
                    [[maybe_unused]] ssize_t got = read(wake, &ignored, sizeof ignored);
                    CloseQuietly(listener);
                } else if (fd == listener) {
                    AcceptAll();
                } else if (auto found = byFd.find(fd); found != byFd.end()) {
                    Serve(found->second, fd, events[i].events);
                }
            }
            if (Clock::now() - lastScan >= kScanInterval) {
                lastScan = Clock::now();
                EnforceTimeLimits(lastScan);
            }
        }
    }

    void AcceptAll() {
        for (;;) {
            sockaddr_storage peer{};
            socklen_t length = sizeof peer;
            int fd = accept4(listener, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) return;  // none left, or out of descriptors: the rest wait in the backlog
            auto exchange = new Exchange;
            exchange->client = fd;
            exchange->address = AddressText(peer);
            exchange->range = SenderRange(exchange->address);
            exchange->started = exchange->lastByte = Clock::now();
            exchange->deadline = exchange->started + limits.whole;
            int& fromRange = openPerRange[exchange->range];
            ++fromRange;
            ++open;
            byFd[fd] = exchange;
            bool loopback = exchange->address == "127.0.0.1" || exchange->address == "::1";
            bool oneAddress = fromRange > limits.perAddress && !(loopback && limits.loopbackUncapped);
            if (oneAddress || open > limits.total) {
                Refuse(exchange, 503, oneAddress ? "too many connections from this address" : "too many connections",
                       oneAddress ? "the ranking serves a few connections from one address at a time; try again"
                                  : "the ranking is busy; try again in a moment");
                continue;
            }
            Watch(fd, EPOLLIN | EPOLLRDHUP, true);
        }
    }

    void Serve(Exchange* exchange, int fd, std::uint32_t events) {
        if (fd == exchange->client) {
            if (events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) ReadClient(exchange);
            if (byFd.count(fd) && (events & EPOLLOUT)) FlushToClient(exchange);
        } else {
            if (events & EPOLLOUT) FlushToBackend(exchange);
            if (byFd.count(fd) && (events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR))) ReadBackend(exchange);
        }
    }

    void ReadClient(Exchange* exchange) {
        char buffer[16384];
        for (;;) {
            ssize_t got = recv(exchange->client, buffer, sizeof buffer, 0);
            if (got > 0) {
                exchange->lastByte = Clock::now();
                if (exchange->request.size() < 512)
                    exchange->request.append(buffer, std::min<std::size_t>(got, 512 - exchange->request.size()));
                exchange->toBackend.append(buffer, static_cast<std::size_t>(got));
                if (!exchange->large && exchange->backend < 0 && exchange->toBackend.size() > limits.largestRequest &&
                    exchange->toBackend.size() <= LargestRequest(*exchange)) {
                    exchange->large = true;
                    if (++openLarge > limits.largeRequests)
                        return Refuse(exchange, 503, "too many uploads at once", "the ranking is busy; try again");
                }
                if (exchange->toBackend.size() > LargestRequest(*exchange)) {
                    if (exchange->backend < 0) break;
                    exchange->toBackend.clear();  // past the request CivetWeb reads: dropped
                }
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            if (got < 0 && errno != EAGAIN) return Finish(exchange);  // reset: nobody to answer
            if (got == 0) exchange->clientClosed = true;
            break;
        }
        if (exchange->clientClosed) {
            // Reading is over; a reply may still go out on the half-closed connection.
            Watch(exchange->client, exchange->toClient.empty() ? 0u : std::uint32_t{EPOLLOUT}, false);
            if (exchange->backend < 0 && exchange->toBackend.empty()) return Finish(exchange);
        }
        if (exchange->backend < 0 &&
            (exchange->clientClosed || exchange->toBackend.size() > LargestRequest(*exchange) ||
             IsRequestComplete(exchange->toBackend))) {
            PassOn(exchange);
        } else if (exchange->backend >= 0) {
            FlushToBackend(exchange);
        }
    }

    // The headers and the largest body this request's path takes.
    std::size_t LargestRequest(const Exchange& exchange) const {
        return limits.largestRequest + static_cast<std::size_t>(LargestBodyOf(exchange.request) - kLargestBody);
    }

    void PassOn(Exchange* exchange) {
        sockaddr_in backend{};
        backend.sin_family = AF_INET;
        backend.sin_port = htons(static_cast<std::uint16_t>(backendPort));
        backend.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0 ||
            (connect(fd, reinterpret_cast<sockaddr*>(&backend), sizeof backend) != 0 && errno != EINPROGRESS)) {
            if (fd >= 0) close(fd);
            return Refuse(exchange, 503, "cannot reach the request threads", "the ranking is busy; try again");
        }
        sockaddr_in local{};
        socklen_t length = sizeof local;
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
        exchange->backend = fd;
        exchange->backendSidePort = ntohs(local.sin_port);
        {
            std::lock_guard lock(clientsMutex);
            clientOfBackendPort[exchange->backendSidePort] = exchange->address;
        }
        byFd[fd] = exchange;
        // The reply may take the database's time limits; the front only guards against
        // a client that does not take it.
        exchange->deadline = Clock::now() + limits.reply + std::chrono::seconds(15);
        Watch(fd, EPOLLIN | EPOLLOUT | EPOLLRDHUP, true);
    }

    void FlushToBackend(Exchange* exchange) {
        while (!exchange->toBackend.empty()) {
            ssize_t sent =
                send(exchange->backend, exchange->toBackend.data(), exchange->toBackend.size(), MSG_NOSIGNAL);
            if (sent <= 0) break;
            exchange->toBackend.erase(0, static_cast<std::size_t>(sent));
        }
        if (exchange->toBackend.empty()) {
            // A body that ends at close ends here too.
            if (exchange->clientClosed && !exchange->backendWriteShut) {
                shutdown(exchange->backend, SHUT_WR);
                exchange->backendWriteShut = true;
            }
            Watch(exchange->backend, EPOLLIN | EPOLLRDHUP, false);
        }
    }

    void ReadBackend(Exchange* exchange) {
        char buffer[16384];
        for (;;) {
            ssize_t got = recv(exchange->backend, buffer, sizeof buffer, 0);
            if (got > 0) {
                exchange->toClient.append(buffer, static_cast<std::size_t>(got));
                continue;
            }
            if (got == 0 || (errno != EAGAIN && errno != EINTR)) exchange->backendClosed = true;
            if (got < 0 && errno == EINTR) continue;
            break;
        }
        if (exchange->backendClosed) {
            epoll_ctl(epoll, EPOLL_CTL_DEL, exchange->backend, nullptr);
            ForgetBackend(exchange);
        }
        FlushToClient(exchange);
    }

    void FlushToClient(Exchange* exchange) {
        while (!exchange->toClient.empty()) {
            ssize_t sent = send(exchange->client, exchange->toClient.data(), exchange->toClient.size(), MSG_NOSIGNAL);
            if (sent < 0 && errno != EAGAIN && errno != EINTR) return Finish(exchange);
            if (sent <= 0) break;
            exchange->toClient.erase(0, static_cast<std::size_t>(sent));
        }
        if (exchange->toClient.empty() && exchange->backendClosed) return Finish(exchange);
        std::uint32_t events = (exchange->toClient.empty() ? 0u : std::uint32_t{EPOLLOUT}) |
                               (exchange->clientClosed ? 0u : std::uint32_t{EPOLLIN});
        Watch(exchange->client, events, false);
    }

    void EnforceTimeLimits(Clock::time_point now) {
        std::vector<Exchange*> late;
        for (auto& [fd, exchange] : byFd) {
            if (fd != exchange->client) continue;
            bool silent =
                exchange->backend < 0 && !exchange->backendClosed && now - exchange->lastByte > limits.silence;
            if (now > exchange->deadline || silent) late.push_back(exchange);
        }
        for (Exchange* exchange : late) {
            if (exchange->backend >= 0 || exchange->backendClosed) {
                Finish(exchange);  // the client did not take its reply in time
            } else if (now > exchange->deadline) {
                Refuse(exchange, 408, "request time limit", "the request took too long to arrive");
            } else {
                Refuse(exchange, 408, "idle connection closed",
                       "nothing arrived for a while; the connection is closed");
            }
        }
    }

    // Answers the client at once with a short reply (best effort: it is not waited for),
    // logs it and closes.
    void Refuse(Exchange* exchange, int status, const char* outcome, const char* text) {
        std::string reply = ShortReply(status, text);
        [[maybe_unused]] ssize_t sent = send(exchange->client, reply.data(), reply.size(), MSG_NOSIGNAL);
        RequestLine line = ReadRequestLine(exchange->request);
        log({exchange->address, line.method.empty() ? "-" : line.method, line.path.empty() ? "-" : line.path, status,
             Clock::now() - exchange->started, outcome});
        Finish(exchange);
    }

    void ForgetBackend(Exchange* exchange) {
        if (exchange->backend < 0) return;
        {
            std::lock_guard lock(clientsMutex);
            clientOfBackendPort.erase(exchange->backendSidePort);
        }
        byFd.erase(exchange->backend);
        CloseQuietly(exchange->backend);
    }

    void Finish(Exchange* exchange) {
        ForgetBackend(exchange);
        byFd.erase(exchange->client);
        CloseQuietly(exchange->client);
        if (--openPerRange[exchange->range] <= 0) openPerRange.erase(exchange->range);
        --open;
        if (exchange->large) --openLarge;
        delete exchange;
    }
};

ConnectionFront::ConnectionFront(const ListenAddress& address, int backendPort, FrontLimits limits,
                                 std::function<void(const FrontRefusal&)> log)
    : loop_(std::make_unique<Loop>()) {
    Loop& loop = *loop_;
    loop.limits = limits;
    loop.log = std::move(log);
    loop.backendPort = backendPort;
    loop.listener = OpenListener(address);
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    getsockname(loop.listener, reinterpret_cast<sockaddr*>(&bound), &length);
    loop.port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(bound).sin6_port
                                                  : reinterpret_cast<sockaddr_in&>(bound).sin_port);
    loop.wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    loop.epoll = epoll_create1(EPOLL_CLOEXEC);
    loop.Watch(loop.listener, EPOLLIN, true);
    loop.Watch(loop.wake, EPOLLIN, true);
    loop.thread = std::thread([&loop] { loop.Run(); });
}

void ConnectionFront::Stop() {
    if (!loop_->thread.joinable()) return;
    loop_->stopping = true;
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(loop_->wake, &one, sizeof one);
    loop_->thread.join();
}

ConnectionFront::~ConnectionFront() {
    Stop();
    CloseQuietly(loop_->listener);
    close(loop_->wake);
    close(loop_->epoll);
}

int ConnectionFront::port() const { return loop_->port; }

std::string ConnectionFront::ClientOf(int backendSidePort) const {
    std::lock_guard lock(loop_->clientsMutex);
    auto found = loop_->clientOfBackendPort.find(backendSidePort);
    return found == loop_->clientOfBackendPort.end() ? std::string() : found->second;
}

}  // namespace vemol::ranking
