// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/score_post.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <string_view>

#include "net/ranking_settings.h"

namespace vemol::net {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Writing a request this small to a connected socket, and hearing back, gets a short
// grace beyond the time limit, so a server found at the last moment still has a chance.
constexpr std::chrono::milliseconds kMostGrace{2000};
// A status line ("HTTP/1.0 200 OK") is short; a longer first line is not one.
constexpr std::size_t kLongestStatusLine = 256;
// Our server's reply header is a few hundred bytes; the upload path is looked for in
// this much of it.
constexpr std::size_t kLongestReplyHeader = 8192;
constexpr std::size_t kLongestUploadPath = 128;
constexpr std::string_view kUploadPathPrefix = "/replays/upload/";

// Closes the socket however the submission ends.
class SocketHandle {
public:
    explicit SocketHandle(int fd) : fd_(fd) {}
    ~SocketHandle() {
        if (fd_ >= 0) close(fd_);
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

std::uint16_t HttpPortInNetworkOrder() {
    servent entry{};
    servent* found = nullptr;
    char buffer[1024];
    if (getservbyname_r("http", "tcp", &entry, buffer, sizeof buffer, &found) == 0 && found)
        return static_cast<std::uint16_t>(found->s_port);
    return htons(80);
}

int MillisecondsUntil(SteadyClock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for `events` on `fd` until the deadline; false when time ran out or poll failed.
bool WaitFor(int fd, short events, SteadyClock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        int ready = poll(&entry, 1, MillisecondsUntil(deadline));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

SendOutcome Connect(int fd, const sockaddr* address, socklen_t size, SteadyClock::time_point deadline) {
    if (connect(fd, address, size) == 0) return SendOutcome::Sent;
    int error = errno;
    if (error == EINPROGRESS || error == EINTR) {
        if (!WaitFor(fd, POLLOUT, deadline)) return SendOutcome::ConnectTimedOut;
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    }
    if (error == 0) return SendOutcome::Sent;
    return error == ECONNREFUSED ? SendOutcome::ConnectRefused : SendOutcome::ConnectFailed;
}

// Writes the whole request. Our requests are a few hundred bytes and go out in one call;
// the loop only matters if the kernel ever takes less.
SendOutcome WriteAll(int fd, const std::string& request, SteadyClock::time_point deadline) {
    std::size_t written = 0;
    while (written < request.size()) {
        // Deliberate difference: no-sigpipe.
        ssize_t n = send(fd, request.data() + written, request.size() - written, MSG_NOSIGNAL);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, deadline)) return SendOutcome::SendFailed;
        } else {
            return SendOutcome::SendFailed;
        }
    }
    return SendOutcome::Sent;
}

// "HTTP/1.0 200 OK": the version, a blank, a three-digit status. 2xx took the score;
// another status, or a first line that is no status line, did not.
SendOutcome OutcomeOfStatusLine(std::string_view line) {
    if (line.empty()) return SendOutcome::NoReply;
    const std::size_t blank = line.find(' ');
    if (line.substr(0, 5) != "HTTP/" || blank == std::string_view::npos || line.size() < blank + 4)
        return SendOutcome::Rejected;
    const std::string_view code = line.substr(blank + 1, 3);
    const std::string_view after = line.substr(blank + 4, 1);
    const bool isStatus = std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
                          (after.empty() || after == " " || after == "\r");
    return isStatus && code[0] == '2' ? SendOutcome::Sent : SendOutcome::Rejected;
}

// Reads the reply until `enough` says it holds what is wanted, the server closes, or
// `most` bytes came; false when the deadline passed first.
bool ReadReply(int fd, SteadyClock::time_point deadline, std::string& reply, std::size_t most,
               bool (*enough)(const std::string&)) {
    char buffer[kLongestStatusLine];
    while (!enough(reply) && reply.size() < most) {
        if (!WaitFor(fd, POLLIN, deadline)) return false;
        ssize_t n = recv(fd, buffer, std::min(sizeof buffer, most - reply.size()), 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        if (n <= 0) break;  // closed or reset: judge what came before
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

bool HasFirstLine(const std::string& reply) { return reply.find('\n') != std::string::npos; }
bool HasHeader(const std::string& reply) {
    return reply.find("\n\n") != std::string::npos || reply.find("\n\r\n") != std::string::npos;
}

// Reads the status line within the deadline and, for a 2xx reply when `uploadPath` is
// given, the rest of the header as far as it arrives in time: a late header only means
// no upload, never another outcome.
SendOutcome ReadStatusLine(int fd, SteadyClock::time_point deadline, std::string* uploadPath) {
    std::string reply;
    if (!ReadReply(fd, deadline, reply, kLongestStatusLine, HasFirstLine)) return SendOutcome::ReplyTimedOut;
    SendOutcome outcome = OutcomeOfStatusLine(std::string_view(reply).substr(0, reply.find('\n')));
    if (uploadPath && outcome == SendOutcome::Sent && HasFirstLine(reply)) {
        ReadReply(fd, deadline, reply, kLongestReplyHeader, HasHeader);
        std::size_t end = std::min(reply.find("\n\n"), reply.find("\n\r\n"));
        *uploadPath = UploadPathOfReply(std::string_view(reply).substr(0, end));
    }
    return outcome;
}

// In a few words, for the one line a failed upload leaves on stderr.
const char* SendOutcomeName(SendOutcome outcome) {
    switch (outcome) {
        case SendOutcome::Sent: return "sent";
        case SendOutcome::HostNotFound: return "host not found";
        case SendOutcome::LookupTimedOut: return "no name lookup in time";
        case SendOutcome::NoSocket: return "no socket";
        case SendOutcome::ConnectRefused: return "connection refused";
        case SendOutcome::ConnectFailed: return "server unreachable";
        case SendOutcome::ConnectTimedOut: return "no connection in time";
        case SendOutcome::SendFailed: return "connection broke while sending";
        case SendOutcome::NoReply: return "no reply";
        case SendOutcome::ReplyTimedOut: return "no reply in time";
        case SendOutcome::Rejected: break;
    }
    return "refused by the server";
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// A server named by a bracketed IPv6 address ("[::1]") is connected to at that address.
bool ParseIpv6Host(const std::string& host, in6_addr& address) {
    return host.size() > 2 && host.front() == '[' && host.back() == ']' &&
           inet_pton(AF_INET6, host.substr(1, host.size() - 2).c_str(), &address) == 1;
}

// Finds the server, connects and writes the request; the socket is left open for the reply.
SendOutcome ConnectAndWrite(const SocketHandle& socket, const sockaddr* address, socklen_t size,
                            const ScoreDestination& destination, const std::string& request,
                            SteadyClock::time_point deadline, std::string* uploadPath) {
    SendOutcome connected = Connect(socket.fd(), address, size, deadline);
    if (connected != SendOutcome::Sent) return connected;
    auto grace = std::min<std::chrono::milliseconds>(kMostGrace, destination.timeLimit);
    auto lateDeadline = std::max(deadline, SteadyClock::now() + grace);
    SendOutcome written = WriteAll(socket.fd(), request, lateDeadline);
    if (written != SendOutcome::Sent) return written;
    // The end of the request, as the first release's close showed it, for servers that
    // read until then; the reply still comes back on the open half.
    shutdown(socket.fd(), SHUT_WR);
    return ReadStatusLine(socket.fd(), lateDeadline, uploadPath);
}

}  // namespace

SendOutcome PostScore(const ScoreDestination& destination, const std::string& request, std::string* uploadPath) {
    if (uploadPath) uploadPath->clear();
    const auto deadline = SteadyClock::now() + destination.timeLimit;
    const std::uint16_t port = destination.port ? htons(*destination.port) : HttpPortInNetworkOrder();
    if (in6_addr ipv6{}; ParseIpv6Host(destination.host, ipv6)) {
        SocketHandle socket(::socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP));
        if (socket.fd() < 0) return SendOutcome::NoSocket;
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_port = port;
        address.sin6_addr = ipv6;
        return ConnectAndWrite(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address, destination,
                               request, deadline, uploadPath);
    }
    LookupResult host = ResolveRankingHost(destination.host, deadline, destination.lookup);
    if (host.status == LookupStatus::TimedOut) return SendOutcome::LookupTimedOut;
    if (host.status == LookupStatus::NotFound) return SendOutcome::HostNotFound;

    SocketHandle socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP));
    if (socket.fd() < 0) return SendOutcome::NoSocket;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = port;
    address.sin_addr.s_addr = host.address;
    return ConnectAndWrite(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address, destination, request,
                           deadline, uploadPath);
}

ScoreDestination RankingDestination(const RankingServer& server) {
    ScoreDestination destination;
    destination.host = server.host;
    destination.port = server.port;
    destination.path = std::string(kRankingScriptPath);
    return destination;
}

SendOutcome SendScore(const RankingServer& server, const ScoreEntry& entry) {
    ScoreDestination destination = RankingDestination(server);
    return PostScore(destination, FormatScoreRequest(destination.path, entry));
}

std::string UploadPathOfReply(std::string_view header) {
    for (std::size_t at = header.find('\n'); at != std::string_view::npos; at = header.find('\n', at + 1)) {
        std::string_view line = header.substr(at + 1);
        line = line.substr(0, line.find('\n'));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!StartsWithNoCase(line, kReplayUploadHeader) || line.substr(kReplayUploadHeader.size(), 1) != ":") continue;
        std::string_view value = line.substr(kReplayUploadHeader.size() + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
        // A hostile server must not steer the upload anywhere else: only a plain path below
        // our upload folder, made of the characters a token has.
        bool plain = std::all_of(value.begin(), value.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '-' || c == '_' || c == '.';
        });
        if (plain && value.starts_with(kUploadPathPrefix) && value.size() > kUploadPathPrefix.size() &&
            value.size() <= kLongestUploadPath && value.find("..") == std::string_view::npos)
            return std::string(value);
        return {};
    }
    return {};
}

std::string FormatReplayUpload(std::string_view path, std::span<const std::uint8_t> replay) {
    std::string request =
        "POST " + std::string(path) +
        " HTTP/1.0\r\nContent-Type: application/x-vemol-replay\r\nContent-Length: " + std::to_string(replay.size()) +
        "\r\n\r\n";
    request.append(reinterpret_cast<const char*>(replay.data()), replay.size());
    return request;
}

// Deliberate difference: replay-upload.
// The original sent the score alone; our server verifies a score by replaying its game.
SendOutcome SendScoreWithReplay(const RankingServer& server, const ScoreEntry& entry,
                                std::shared_ptr<const std::vector<std::uint8_t>> replay) {
    ScoreDestination destination = RankingDestination(server);
    std::string uploadPath;
    SendOutcome sent = PostScore(destination, FormatScoreRequest(destination.path, entry), &uploadPath);
    if (sent != SendOutcome::Sent || uploadPath.empty() || !replay || replay->empty()) return sent;
    destination.path = uploadPath;
    SendOutcome uploaded = PostScore(destination, FormatReplayUpload(uploadPath, *replay));
    if (uploaded != SendOutcome::Sent) {
        std::fprintf(stderr, "vemol: the replay of the score was not uploaded to %s (%s); the score itself was sent\n",
                     server.text().c_str(), SendOutcomeName(uploaded));
    }
    return sent;
}

}  // namespace vemol::net
