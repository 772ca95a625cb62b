// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// vemol-ranking: the companion ranking server of Vemol. Stops cleanly on SIGTERM or
// SIGINT: the requests in flight are finished and their scores stored first.
#include <pthread.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <exception>

#include "server/admin_command.h"
#include "server/ranking_server.h"
#include "server/score_store.h"
#include "server/server_options.h"

namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    return signals;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vemol::ranking;
    if (argc > 1 && std::string(argv[1]) == "admin") return RunAdmin(std::vector<std::string>(argv + 2, argv + argc));
    if (argc > 1 && std::string(argv[1]) == "backup") return RunBackup(std::vector<std::string>(argv + 2, argv + argc));
    ParsedOptions parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fputs(parsed.message.c_str(), parsed.exitCode == 0 ? stdout : stderr);
        return parsed.exitCode;
    }
    // Blocked before any thread starts, so every thread inherits the mask and the
    // signals reach only the sigwait below.
    sigset_t stopSignals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Each connection held while its request arrives is a descriptor: allow as many as
    // the system lets this process have, not the 1,024 a shell starts with.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }

    try {
        std::unique_ptr<ScoreStore> store = OpenScoreStore(parsed.options->database);
        RankingServer server(*store, parsed.options->server);
        std::string address = parsed.options->server.listen;
        address = address.substr(0, address.rfind(':')) + ':' + std::to_string(server.port());
        std::fprintf(stderr, "vemol-ranking: listening on http://%s/ with %s\n", address.c_str(),
                     parsed.options->database.starts_with("sqlite:") ? parsed.options->database.c_str() : "PostgreSQL");
        if (int metricsPort = server.metricsPort()) {
            std::string metrics = parsed.options->server.metricsListen;
            std::fprintf(stderr, "vemol-ranking: metrics on http://%s:%d/metrics\n",
                         metrics.substr(0, metrics.rfind(':')).c_str(), metricsPort);
        }
        int received = 0;
        sigwait(&stopSignals, &received);
        std::fprintf(stderr, "vemol-ranking: stopping (%s)\n", received == SIGTERM ? "SIGTERM" : "SIGINT");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vemol-ranking: %s\n", error.what());
        return 1;
    }
    return 0;
}
