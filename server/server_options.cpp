// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/server_options.h"

#include <charconv>

#include "server/listen_address.h"

namespace vemol::ranking {
namespace {

constexpr const char* kUsage =
    "Usage: vemol-ranking [OPTION]...\n"
    "       vemol-ranking admin [--db LOCATION] COMMAND   (moderation; see admin --help)\n"
    "       vemol-ranking backup [--db LOCATION] FILE     (a copy of a running SQLite ranking)\n"
    "The Vemol ranking server: receives the game's scores and serves the ranking page.\n"
    "\n"
    "  --listen ADDR:PORT        where to listen: IPv4 A.B.C.D:PORT or [IPv6]:PORT\n"
    "                            (default 127.0.0.1:8080; port 0 picks a free one)\n"
    "  --db LOCATION             sqlite:PATH (default sqlite:ranking.db) or\n"
    "                            postgresql://USER@HOST:PORT/DBNAME\n"
    "  --posts-per-minute N      scores one address may send a minute (default 6; 0: no limit)\n"
    "  --read-timeout SECONDS    time for a whole request to arrive (default 10)\n"
    "  --threads N               complete requests served at once (default 32)\n"
    "  --connections-per-address N\n"
    "                            connections one address (one /64 for IPv6) may hold\n"
    "                            open at once (default 8)\n"
    "  --metrics-listen ADDR:PORT\n"
    "                            serve /metrics (Prometheus) only there, not on --listen\n"
    "  --behind-proxy            take the sender's address from X-Real-IP when the\n"
    "                            request comes from a proxy on this machine\n"
    "  --help, --version\n";

std::optional<int> ReadCount(const std::string& text, int lowest, int highest) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

bool TakesValue(const std::string& flag) {
    for (const char* known : {"--listen", "--metrics-listen", "--db", "--posts-per-minute", "--read-timeout",
                              "--threads", "--connections-per-address"})
        if (flag == known) return true;
    return false;
}

ParsedOptions Wrong(const std::string& what) {
    return {std::nullopt, "vemol-ranking: " + what + "\nTry 'vemol-ranking --help'.\n", 2};
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
    ServerOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& flag = arguments[i];
        if (flag == "--help") return {std::nullopt, kUsage, 0};
        if (flag == "--version") return {std::nullopt, "vemol-ranking 1.0\n", 0};
        if (flag == "--behind-proxy") {
            options.server.behindProxy = true;
            continue;
        }
        if (i + 1 == arguments.size())
            return Wrong(TakesValue(flag) ? "missing value after " + flag : "unknown argument " + flag);
        const std::string& value = arguments[++i];
        if (flag == "--listen") {
            if (!ParseListenAddress(value))
                return Wrong("--listen needs A.B.C.D:PORT or [IPv6]:PORT with a port up to 65535, got " + value);
            options.server.listen = value;
        } else if (flag == "--metrics-listen") {
            if (!ParseListenAddress(value))
                return Wrong("--metrics-listen needs A.B.C.D:PORT or [IPv6]:PORT, got " + value);
            options.server.metricsListen = value;
        } else if (flag == "--db") {
            options.database = value;
        } else if (flag == "--connections-per-address") {
            std::optional<int> count = ReadCount(value, 1, 10000);
            if (!count) return Wrong("bad value for " + flag + ": " + value);
            options.server.connectionsPerAddress = *count;
        } else if (flag == "--posts-per-minute" || flag == "--read-timeout" || flag == "--threads") {
            int lowest = flag == "--posts-per-minute" ? 0 : 1;
            std::optional<int> count = ReadCount(value, lowest, flag == "--threads" ? 1024 : 3600);
            if (!count) return Wrong("bad value for " + flag + ": " + value);
            int& setting = flag == "--posts-per-minute" ? options.server.postsPerMinute
                           : flag == "--read-timeout"   ? options.server.readTimeLimitSeconds
                                                        : options.server.threads;
            setting = *count;
        } else {
            return Wrong("unknown argument " + flag);
        }
    }
    return {options, {}, 0};
}

}  // namespace vemol::ranking
