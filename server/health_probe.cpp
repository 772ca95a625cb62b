// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/health_probe.h"

namespace vemol::ranking {

HealthProbe::HealthProbe(ScoreStore& store) : store_(store), thread_([this] { Run(); }) {}

HealthProbe::~HealthProbe() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

std::optional<std::string> HealthProbe::Check(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    // A check under way answers this request too; otherwise a new one starts.
    if (requested_ == finished_) {
        ++requested_;
        changed_.notify_all();
    }
    std::uint64_t wanted = requested_;
    if (!changed_.wait_for(lock, limit, [&] { return finished_ >= wanted; })) return std::nullopt;
    return lastReason_;
}

void HealthProbe::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return stopping_ || requested_ > finished_; });
        if (stopping_) return;
        std::uint64_t round = requested_;
        lock.unlock();
        std::string reason;
        try {
            store_.CheckWritable();
        } catch (const StoreError& error) {
            reason = error.what();
        }
        lock.lock();
        lastReason_ = std::move(reason);
        finished_ = round;
        changed_.notify_all();
    }
}

}  // namespace vemol::ranking
