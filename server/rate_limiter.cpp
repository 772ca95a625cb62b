// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/rate_limiter.h"

#include <algorithm>

namespace vemol::ranking {
namespace {

// Buckets are swept this often; a bucket that has refilled completely is forgotten.
constexpr auto kSweepInterval = std::chrono::seconds(60);
// Past this many addresses at once every bucket is dropped: memory stays bounded under a
// flood from many addresses, at the price of a fresh allowance for each of them.
constexpr std::size_t kMostAddresses = 100000;

}  // namespace

RateLimiter::RateLimiter(int postsPerMinute) : capacity_(std::max(postsPerMinute, 0)), perSecond_(capacity_ / 60.0) {}

bool RateLimiter::Allow(const std::string& address, Clock::time_point now) {
    if (capacity_ <= 0) return true;
    std::lock_guard lock(mutex_);
    if (now - lastSweep_ >= kSweepInterval || buckets_.size() >= kMostAddresses) ForgetFullBuckets(now);
    auto [entry, added] = buckets_.try_emplace(address, Bucket{capacity_, now});
    Bucket& bucket = entry->second;
    if (!added) {
        double seconds = std::chrono::duration<double>(now - bucket.refilled).count();
        bucket.tokens = std::min(capacity_, bucket.tokens + std::max(seconds, 0.0) * perSecond_);
        bucket.refilled = now;
    }
    if (bucket.tokens < 1.0) return false;
    bucket.tokens -= 1.0;
    return true;
}

void RateLimiter::ForgetFullBuckets(Clock::time_point now) {
    std::erase_if(buckets_, [&](const auto& entry) {
        double seconds = std::chrono::duration<double>(now - entry.second.refilled).count();
        return entry.second.tokens + seconds * perSecond_ >= capacity_;
    });
    if (buckets_.size() >= kMostAddresses) buckets_.clear();
    lastSweep_ = now;
}

}  // namespace vemol::ranking
