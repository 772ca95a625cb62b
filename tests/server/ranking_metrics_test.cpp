// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// /metrics on its own listener, read by the Prometheus client's own text-format parser
// (Debian's python3-prometheus-client, hence /usr/bin/python3).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "backend_fixture.h"
#include "ranking_client.h"
#include "server/ranking_page.h"

namespace vemol::ranking::testing {
namespace {

class RankingMetrics : public BackendTest {};

// Every sample of the page as parse_metrics.py prints it.
std::string ParsedSamples(const std::string& page) {
    std::string file = ::testing::TempDir() + "vemol-metrics-" + std::to_string(getpid()) + ".txt";
    std::ofstream(file) << page;
    FILE* pipe = popen(("/usr/bin/python3 " VEMOL_METRICS_PARSER " < " + file + " 2>&1").c_str(), "r");
    std::string output;
    char buffer[4096];
    while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
    EXPECT_EQ(pclose(pipe), 0) << output;
    std::remove(file.c_str());
    return output;
}

TEST_P(RankingMetrics, CountsRequestsPostsRefusalsAndLatencyOnTheMetricsListenerOnly) {
    ServerSettings settings = Unlimited();
    settings.metricsListen = "127.0.0.1:0";
    StartServer(settings);
    ASSERT_NE(server->metricsPort(), 0);
    store->SetBan({"name", "Troll", 0}, true, "ban name Troll");
    EXPECT_EQ(Send(port, GameRequest(10, "Kind")).status, 200);
    EXPECT_EQ(Send(port, GameRequest(20, "Troll")).status, 403);
    EXPECT_EQ(Send(port, RawScoreRequest("score=x")).status, 400);
    Get(port, kRankingPagePath);
    EXPECT_EQ(Send(port, "GET /metrics HTTP/1.0\r\n\r\n").status, 404);

    std::string samples = ParsedSamples(Get(server->metricsPort(), "/metrics"));
    for (const char* expected :
         {"counter vemol_ranking_requests_total{path=score,status=200} 1",
          "counter vemol_ranking_requests_total{path=page,status=200} 1",
          "counter vemol_ranking_requests_total{path=other,status=404} 1",
          "counter vemol_ranking_posts_stored_total{} 1", "counter vemol_ranking_posts_refused_total{reason=banned} 1",
          "counter vemol_ranking_posts_refused_total{reason=invalid} 1",
          "histogram vemol_ranking_post_duration_seconds_count{} 3",
          "histogram vemol_ranking_post_duration_seconds_bucket{le=+Inf} 3",
          "counter vemol_ranking_database_errors_total{} 0", "gauge vemol_ranking_write_queue_length{} 0"})
        EXPECT_NE(samples.find(std::string(expected) + "\n"), std::string::npos) << expected << " not in\n" << samples;
}

INSTANTIATE_TEST_SUITE_P(Backends, RankingMetrics, ::testing::Values("sqlite"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vemol::ranking::testing
