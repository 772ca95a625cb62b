// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ranking_bench [SECONDS]: sustained accepted posts a second and latency percentiles with
// 32 concurrent loopback clients for SQLite and PostgreSQL, then the time to render
// ranking.html with 100,000 stored scores. The per-address limit is off for the load
// (each client posts thousands of times); each client connects from its own 127.0.0.x
// address so the clients do not share one range of local ports.
#include <stdlib.h>
#include <sys/resource.h>

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
#include "server/ranking_page.h"
#include "server/ranking_server.h"
#include "server/score_store.h"

namespace {

using namespace vemol::ranking;
using namespace vemol::ranking::testing;
using Clock = std::chrono::steady_clock;

constexpr int kClients = 32;
constexpr int kStoredScores = 100000;

// CPU seconds this process has used, all threads: less disturbed by the other work on the
// machine than the wall clock.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Percentile(std::vector<double>& values, double fraction) {
    if (values.empty()) return 0;
    std::size_t index = std::min(values.size() - 1, static_cast<std::size_t>(fraction * values.size()));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index), values.end());
    return values[index];
}

void MeasurePosts(const char* backend, ScoreStore& store, double seconds) {
    ServerSettings settings;
    settings.listen = "127.0.0.1:0";
    settings.postsPerMinute = 0;
    settings.threads = 64;
    RankingServer server(store, settings);
    std::vector<std::vector<double>> latencies(kClients);
    std::atomic<long> accepted = 0, refused = 0;
    auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    auto started = Clock::now();
    double cpuAtStart = CpuSeconds();
    std::vector<std::thread> clients;
    for (int client = 0; client < kClients; ++client) {
        clients.emplace_back([&, client] {
            std::string from = "127.0.0." + std::to_string(client + 10);
            for (int i = 0; Clock::now() < end; ++i) {
                std::string name(1, 'c');
                name += std::to_string(client);
                name += '-';
                name += std::to_string(i);
                std::string request = GameRequest(i % 100000, name, "http://example.org/", "benchmark post");
                auto sent = Clock::now();
                int status = Send(server.port(), request, from.c_str()).status;
                latencies[client].push_back(Milliseconds(Clock::now() - sent));
                (status == 200 ? accepted : refused)++;
            }
        });
    }
    for (std::thread& client : clients) client.join();
    double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
    double cpuPerPost = (CpuSeconds() - cpuAtStart) / std::max(accepted.load(), 1L);
    std::vector<double> all;
    for (auto& list : latencies) all.insert(all.end(), list.begin(), list.end());
    std::printf(
        "%-10s posts: %7.0f accepted/s (%ld in %.1f s, %ld not accepted), latency p50 %.2f ms, "
        "p99 %.2f ms, max %.2f ms; CPU %.0f us a post (clients and server)\n",
        backend, accepted / elapsed, accepted.load(), elapsed, refused.load(), Percentile(all, 0.5),
        Percentile(all, 0.99), Percentile(all, 1.0), cpuPerPost * 1e6);
}

void MeasurePage(const char* backend, ScoreStore& store) {
    std::vector<NewScore> batch;
    for (int i = 0; i < kStoredScores; ++i) {
        // 100,000 scores of 20,000 players, so the page picks each name's best.
        batch.push_back({(i * 7919) % 100000, "player" + std::to_string(i % 20000), "http://example.org/",
                         "stored for the page benchmark", 1'800'000'000 + i, "192.0.2.1"});
        if (batch.size() == 5000) {
            store.AddScores(batch);
            batch.clear();
        }
    }
    std::vector<double> renders;
    std::size_t bytes = 0;
    for (int i = 0; i < 300; ++i) {
        auto started = Clock::now();
        bytes = RenderRankingPage(store.TopScores(kRankingSize)).size();
        renders.push_back(Milliseconds(Clock::now() - started));
    }
    ServerSettings settings;
    settings.listen = "127.0.0.1:0";
    RankingServer server(store, settings);
    std::vector<double> requests;
    for (int i = 0; i < 300; ++i) {
        auto started = Clock::now();
        Get(server.port(), kRankingPagePath);
        requests.push_back(Milliseconds(Clock::now() - started));
    }
    std::printf(
        "%-10s ranking.html at %d stored scores (%zu bytes): render %.3f ms median, %.3f ms p99; "
        "whole GET %.3f ms median\n",
        backend, kStoredScores, bytes, Percentile(renders, 0.5), Percentile(renders, 0.99), Percentile(requests, 0.5));
}

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    std::printf("%d clients, %.0f s per backend, per-address limit off; load average before: %s\n", kClients, seconds,
                LoadAverage().c_str());
    std::string pattern = std::filesystem::temp_directory_path().string() + "/vemol-ranking-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) return 1;
    {
        auto store = OpenScoreStore("sqlite:" + pattern + "/posts.db");
        MeasurePosts("sqlite", *store, seconds);
        auto pageStore = OpenScoreStore("sqlite:" + pattern + "/page.db");
        MeasurePage("sqlite", *pageStore);
    }
    std::filesystem::remove_all(pattern);

    std::string whyNot;
    if (auto postgres = ScratchPostgres::Start(whyNot, /*durable=*/true)) {
        auto store = OpenScoreStore(postgres->CreateDatabase());
        MeasurePosts("postgresql", *store, seconds);
        auto pageStore = OpenScoreStore(postgres->CreateDatabase());
        MeasurePage("postgresql", *pageStore);
    } else {
        std::printf("postgresql skipped: %s\n", whyNot.c_str());
    }
    std::printf("load average after: %s\n", LoadAverage().c_str());
    return 0;
}
