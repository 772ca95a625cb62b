// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a monitoring system reads at /metrics, in the Prometheus text format: requests by
// path and status, posts stored and refused by reason, how long posts take, database
// errors, the writer's queue and the checks of replays. Written here in a few lines rather than with
// prometheus-cpp, whose pull side brings its own HTTP server next to ours.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace vemol::ranking {

class Metrics {
public:
    // One answered request; `path` is one of the server's own paths or "other".
    void CountRequest(const std::string& path, int status);
    // One post to the score script: stored (also a re-send answered 200), or refused
    // with `status`.
    void CountPost(int status, std::chrono::steady_clock::duration took);
    void CountDatabaseError() { ++databaseErrors_; }
    // One replay checked: it reached its score or not, and the seconds the check took.
    void CountCheck(bool verified, double seconds);

    // Everything, with the writer's and the replay checker's queue lengths as they are now.
    std::string Render(std::size_t writeQueueLength, std::size_t replayQueueLength = 0);

private:
    static constexpr std::array<double, 11> kBuckets{0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10};

    std::mutex mutex_;
    std::map<std::pair<std::string, int>, std::uint64_t> requests_;
    std::map<std::string, std::uint64_t> refused_;
    std::uint64_t stored_ = 0;
    std::array<std::uint64_t, kBuckets.size()> postBuckets_{};
    std::uint64_t postCount_ = 0;
    double postSeconds_ = 0;
    std::atomic<std::uint64_t> databaseErrors_ = 0;
    std::uint64_t checksVerified_ = 0, checksFailed_ = 0;
    double checkSeconds_ = 0;
};

}  // namespace vemol::ranking
