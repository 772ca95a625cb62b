// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a monitoring system reads at /metrics, in the Prometheus text format: requests by
// path and status, posts stored and refused by reason, how long posts take, database
// errors and the writer's queue. Written here in a few lines rather than with
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

    // Everything, with the writer's queue length as it is now.
    std::string Render(std::size_t writeQueueLength);

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
};

}  // namespace vemol::ranking
