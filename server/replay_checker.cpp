// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/replay_checker.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "replay/replay.h"
#include "server/metrics.h"
#include "server/request_log.h"

namespace vemol::ranking {
namespace {

// A database that failed while a check was stored or read is tried again after this.
constexpr auto kRetryAfterStoreError = std::chrono::seconds(2);

// One line on stderr beside the request log's, in one write.
void LogCheck(const ReplayToCheck& entry, const char* what, const std::string& detail, double seconds) {
    char line[512];
    int length = std::snprintf(line, sizeof line, "%s replay of entry %lld (score %d) %s in %.2fs%s%s\n",
                               LogTime().c_str(), static_cast<long long>(entry.entryId), entry.score, what, seconds,
                               detail.empty() ? "" : ": ", detail.c_str());
    if (length > static_cast<int>(sizeof line) - 1) {
        length = sizeof line - 1;
        line[length - 1] = '\n';
    }
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, line, static_cast<std::size_t>(length));
}

}  // namespace

ReplayVerifier GameRulesVerifier() {
    return [](std::span<const std::uint8_t> replay, int postedScore) {
        replay::Verdict verdict = replay::VerifyReplay(replay, postedScore);
        return CheckOutcome{verdict.verified, verdict.reason};
    };
}

ReplayChecker::ReplayChecker(ScoreStore& store, Metrics& metrics, std::size_t capacity, ReplayVerifier verify)
    : store_(store), metrics_(metrics), capacity_(capacity), verify_(std::move(verify)) {
    try {
        for (const ReplayToCheck& entry : store_.PendingReplays()) queue_.push_back(entry);
    } catch (const StoreError& error) {
        std::fprintf(stderr, "vemol-ranking: replays left pending stay so until the next start: %s\n", error.what());
    }
    thread_ = std::thread([this] { Run(); });
}

ReplayChecker::~ReplayChecker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

bool ReplayChecker::Reserve() {
    std::lock_guard lock(mutex_);
    if (queue_.size() + reserved_ >= capacity_) return false;
    ++reserved_;
    return true;
}

void ReplayChecker::Release() {
    std::lock_guard lock(mutex_);
    --reserved_;
}

void ReplayChecker::Enqueue(const ReplayToCheck& entry) {
    {
        std::lock_guard lock(mutex_);
        --reserved_;
        queue_.push_back(entry);
    }
    wake_.notify_all();
}

std::size_t ReplayChecker::QueueLength() {
    std::lock_guard lock(mutex_);
    return queue_.size() + reserved_;
}

void ReplayChecker::Run() {
    for (;;) {
        ReplayToCheck entry;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            entry = queue_.front();
            queue_.pop_front();
        }
        try {
            Check(entry);
        } catch (const StoreError& error) {
            // Still pending in the database: tried again shortly, or at the next start.
            LogCheck(entry, "not stored", error.what(), 0);
            std::unique_lock lock(mutex_);
            if (wake_.wait_for(lock, kRetryAfterStoreError, [&] { return stopping_; })) return;
            queue_.push_back(entry);
        }
    }
}

void ReplayChecker::Check(const ReplayToCheck& entry) {
    std::optional<StoredReplay> replay = store_.FindReplay(entry.entryId);
    if (!replay || replay->state != ReplayState::Pending) return;  // checked meanwhile by another instance
    auto started = std::chrono::steady_clock::now();
    CheckOutcome outcome = verify_(replay->bytes, replay->score);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    store_.SetReplayState(entry.entryId, outcome.verified ? ReplayState::Verified : ReplayState::Failed,
                          outcome.verified ? std::string() : outcome.reason);
    metrics_.CountCheck(outcome.verified, seconds);
    LogCheck(entry, outcome.verified ? "verified" : "failed", outcome.verified ? "" : outcome.reason, seconds);
}

}  // namespace vemol::ranking
