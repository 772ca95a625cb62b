// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// /healthz must answer within its time limit whatever the database does, so the check
// runs on a thread of its own and the request waits for it only so long. Requests that
// arrive while a check is under way share its result instead of piling up behind it.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "server/score_store.h"

namespace vemol::ranking {

class HealthProbe {
public:
    explicit HealthProbe(ScoreStore& store);
    // Waits for a check still under way (bounded by the store's own time limits).
    ~HealthProbe();
    HealthProbe(const HealthProbe&) = delete;
    HealthProbe& operator=(const HealthProbe&) = delete;

    // Empty when a write would commit now, else why not; nothing when the check took
    // longer than `limit`.
    std::optional<std::string> Check(std::chrono::milliseconds limit);

private:
    void Run();

    ScoreStore& store_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t requested_ = 0, finished_ = 0;
    std::string lastReason_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vemol::ranking
