// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// slow_client_bench [SERVER_BINARY]: what a normal player sees while others hold the
// server's connections, against the vemol-ranking program given (this build's by
// default, so an earlier build can be measured the same way):
//  1. 1,000 connections from one address, each trickling a byte every 3 s;
//  2. 250 addresses holding 4 such connections each;
//  3. /healthz with the PostgreSQL under the server frozen (SIGSTOP).
// For 1 and 2 it gives the p99 of the normal client's ranking page and post; every
// request of the normal client gives up after 15 s.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ranking_client.h"
#include "scratch_postgres.h"
#include "server/ranking_server.h"
#include "server_process.h"

namespace {

using namespace vemol::ranking;
using namespace vemol::ranking::testing;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::size_t index = std::min(values.size() - 1, static_cast<std::size_t>(fraction * values.size()));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

// Connections from `addresses` that send the request's first byte, then one byte every
// 3 s, reopening whenever the server closes one; until `stop`.
std::thread Trickle(int port, std::vector<std::string> addresses, int each, std::atomic<bool>& stop) {
    return std::thread([=, &stop] {
        std::string request = GameRequest(1, "slow");
        struct Held {
            int fd;
            std::size_t sent;
            std::string from;
        };
        std::vector<Held> held;
        for (const std::string& from : addresses)
            for (int i = 0; i < each; ++i) held.push_back({-1, 0, from});
        while (!stop) {
            for (Held& connection : held) {
                if (stop) break;
                char ignored[512];
                if (connection.fd >= 0 && recv(connection.fd, ignored, sizeof ignored, MSG_DONTWAIT) == 0) {
                    close(connection.fd);
                    connection.fd = -1;
                }
                if (connection.fd < 0) {
                    connection.fd = Connect(port, connection.from.c_str());
                    connection.sent = 0;
                }
                if (connection.fd >= 0 && connection.sent < request.size())
                    connection.sent += send(connection.fd, request.data() + connection.sent, 1, MSG_NOSIGNAL) == 1;
            }
            for (int i = 0; i < 30 && !stop; ++i) std::this_thread::sleep_for(100ms);
        }
        for (Held& connection : held)
            if (connection.fd >= 0) close(connection.fd);
    });
}

void MeasureNormalClient(const char* scenario, int port) {
    std::vector<double> pages, posts;
    int failed = 0;
    auto end = Clock::now() + 20s;
    for (int i = 0; i < 100 && Clock::now() < end; ++i) {
        auto started = Clock::now();
        std::string request = "GET " + std::string(kRankingPagePath) + " HTTP/1.0\r\n\r\n";
        failed += Send(port, request, "127.0.0.3", 15s).status != 200;
        pages.push_back(Milliseconds(Clock::now() - started));
        started = Clock::now();
        failed += Send(port, GameRequest(i, "normal" + std::to_string(i)), "127.0.0.3", 15s).status != 200;
        posts.push_back(Milliseconds(Clock::now() - started));
    }
    std::printf("%-44s page p50 %7.1f ms p99 %7.1f ms; post p50 %7.1f ms p99 %7.1f ms; %d of %zu not 200\n", scenario,
                Percentile(pages, 0.5), Percentile(pages, 0.99), Percentile(posts, 0.5), Percentile(posts, 0.99),
                failed, pages.size() * 2);
}

void UnderSlowClients(const std::string& binary, const std::string& directory) {
    ServerProcess server(binary, "sqlite:" + directory + "/slow.db", directory + "/slow.log");
    if (server.port == 0) return (void)std::printf("the server did not start\n");
    std::atomic<bool> stop = false;
    std::thread crowd = Trickle(server.port, {"127.0.0.2"}, 1000, stop);
    std::this_thread::sleep_for(4s);  // the crowd has connected and started trickling
    MeasureNormalClient("1,000 slow connections from one address:", server.port);
    stop = true;
    crowd.join();

    stop = false;
    std::vector<std::string> addresses;
    for (int i = 0; i < 250; ++i)
        addresses.push_back("127.0." + std::to_string(10 + i / 200) + "." + std::to_string(1 + i % 200));
    std::thread many = Trickle(server.port, addresses, 4, stop);
    std::this_thread::sleep_for(4s);
    MeasureNormalClient("250 addresses holding 4 slow connections each:", server.port);
    stop = true;
    many.join();
}

void HealthWithFrozenDatabase(const std::string& binary, const std::string& directory) {
    std::string whyNot;
    auto postgres = ScratchPostgres::Start(whyNot);
    if (!postgres) return (void)std::printf("PostgreSQL skipped: %s\n", whyNot.c_str());
    ServerProcess server(binary, postgres->CreateDatabase(), directory + "/health.log");
    if (server.port == 0) return (void)std::printf("the server did not start\n");
    postgres->Freeze(true);
    std::vector<double> times;
    std::string statuses;
    for (int i = 0; i < 5; ++i) {
        auto started = Clock::now();
        int status = Send(server.port, "GET /healthz HTTP/1.0\r\n\r\n", "127.0.0.1", 10s).status;
        times.push_back(Milliseconds(Clock::now() - started));
        statuses += std::to_string(status) + ' ';
    }
    postgres->Freeze(false);
    std::printf("/healthz with PostgreSQL frozen: max %.0f ms (gives up at 10 s); statuses %s(0: no answer)\n",
                Percentile(times, 1.0), statuses.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::string binary = argc > 1 ? argv[1] : VEMOL_RANKING_BINARY;
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
    std::ifstream load("/proc/loadavg");
    std::string one, five, fifteen;
    load >> one >> five >> fifteen;
    std::printf("server %s; load average before: %s %s %s\n", binary.c_str(), one.c_str(), five.c_str(),
                fifteen.c_str());
    std::string pattern = std::filesystem::temp_directory_path().string() + "/vemol-slow-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) return 1;
    UnderSlowClients(binary, pattern);
    HealthWithFrozenDatabase(binary, pattern);
    std::filesystem::remove_all(pattern);
    return 0;
}
