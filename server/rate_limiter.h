// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Posts per address: a token bucket that holds a minute's worth of posts and refills
// steadily, so a player can send a few scores in a row but one address cannot flood
// the ranking.
#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vemol::ranking {

class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    // 0 posts a minute turns the limit off (a trusted network).
    explicit RateLimiter(int postsPerMinute);

    // True when `address` may post now; takes one token from its bucket.
    bool Allow(const std::string& address, Clock::time_point now);

private:
    struct Bucket {
        double tokens;
        Clock::time_point refilled;
    };
    void ForgetFullBuckets(Clock::time_point now);

    double capacity_;
    double perSecond_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    Clock::time_point lastSweep_{};
};

}  // namespace vemol::ranking
