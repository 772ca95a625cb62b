// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/server_options.h"

#include <getopt.h>

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
    "  --replay-queue N          uploaded replays that may wait for their check\n"
    "                            (default 16; 0: take no replays, verify nothing)\n"
    "  --help, --version\n";

std::optional<int> ReadCount(const std::string& text, int lowest, int highest) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

ParsedOptions Wrong(const std::string& what) {
    return {std::nullopt, "vemol-ranking: " + what + "\nTry 'vemol-ranking --help'.\n", 2};
}

// Long flags only: the letters name them here and are no short flags.
constexpr option kFlags[] = {
    {"listen", required_argument, nullptr, 'l'},
    {"metrics-listen", required_argument, nullptr, 'm'},
    {"db", required_argument, nullptr, 'd'},
    {"posts-per-minute", required_argument, nullptr, 'p'},
    {"read-timeout", required_argument, nullptr, 'r'},
    {"threads", required_argument, nullptr, 't'},
    {"connections-per-address", required_argument, nullptr, 'c'},
    {"behind-proxy", no_argument, nullptr, 'b'},
    {"replay-queue", required_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'v'},
    {nullptr, 0, nullptr, 0},
};

// Applies one flag's value; an error message when the value is not one it takes.
std::optional<std::string> Apply(int flag, const std::string& name, const std::string& value, ServerOptions& options) {
    ServerSettings& server = options.server;
    auto count = [&](int& setting, int lowest, int highest) -> std::optional<std::string> {
        std::optional<int> read = ReadCount(value, lowest, highest);
        if (!read) return "bad value for " + name + ": " + value;
        setting = *read;
        return std::nullopt;
    };
    switch (flag) {
        case 'l':
            if (!ParseListenAddress(value))
                return "--listen needs A.B.C.D:PORT or [IPv6]:PORT with a port up to 65535, got " + value;
            server.listen = value;
            return std::nullopt;
        case 'm':
            if (!ParseListenAddress(value)) return "--metrics-listen needs A.B.C.D:PORT or [IPv6]:PORT, got " + value;
            server.metricsListen = value;
            return std::nullopt;
        case 'd': options.database = value; return std::nullopt;
        case 'p': return count(server.postsPerMinute, 0, 3600);
        case 'r': return count(server.readTimeLimitSeconds, 1, 3600);
        case 't': return count(server.threads, 1, 1024);
        case 'c': return count(server.connectionsPerAddress, 1, 10000);
        case 'q': return count(server.replayQueue, 0, 1000);
        default: server.behindProxy = true; return std::nullopt;
    }
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
    std::vector<std::string> texts{"vemol-ranking"};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(texts.size());

    // "+": stop at the first word that is no flag; ":": report a missing value as such.
    // Long flags only, read in order, the first fault ending the reading.
    ServerOptions options;
    optind = 0;
    opterr = 0;
    for (;;) {
        int at = optind == 0 ? 1 : optind;
        int flag = getopt_long(argc, argv.data(), "+:", kFlags, nullptr);
        // getopt takes a lone "--" as the end of the flags; this command line has no words after them.
        if (flag == -1 && at < argc && texts[at] == "--") return Wrong("unknown argument --");
        if (flag == -1) break;
        const std::string& given = texts[at];
        if (flag == 'h') return {std::nullopt, kUsage, 0};
        if (flag == 'v') return {std::nullopt, "vemol-ranking 1.0\n", 0};
        if (flag == ':') return Wrong("missing value after " + given);
        if (flag == '?') return Wrong("unknown argument " + given);
        const std::string name = given.substr(0, given.find('='));
        if (std::optional<std::string> fault = Apply(flag, name, optarg ? optarg : "", options)) return Wrong(*fault);
    }
    if (optind < argc) return Wrong("unknown argument " + texts[optind]);
    return {options, {}, 0};
}

}  // namespace vemol::ranking
