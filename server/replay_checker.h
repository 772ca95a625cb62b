// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check of uploaded replays: a bounded queue of entries waiting for theirs and one
// thread of its own that plays each replay headless under the game's rules and stores
// the outcome. The request threads only store the upload and queue its entry, so a slow
// check never holds a request, and a full queue turns uploads away instead of piling
// them up in memory.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "server/score_store.h"

namespace vemol::ranking {

class Metrics;

// What a check found: the replay reaches the posted score, or why not.
struct CheckOutcome {
    bool verified = false;
    std::string reason;
};
using ReplayVerifier = std::function<CheckOutcome(std::span<const std::uint8_t> replay, int postedScore)>;
// The game's own check, replay::VerifyReplay.
ReplayVerifier GameRulesVerifier();

class ReplayChecker {
public:
    // Queues every entry left pending by an earlier run first: each was admitted under
    // this bound then, and its replay is in the database.
    ReplayChecker(ScoreStore& store, Metrics& metrics, std::size_t capacity, ReplayVerifier verify);
    // Finishes the check under way; entries still waiting stay pending for the next start.
    ~ReplayChecker();
    ReplayChecker(const ReplayChecker&) = delete;
    ReplayChecker& operator=(const ReplayChecker&) = delete;

    // Holds a place in the queue for an upload being received; false when it is full.
    bool Reserve();
    // Gives back a place not used after all.
    void Release();
    // Queues an entry in the place Reserve() held.
    void Enqueue(const ReplayToCheck& entry);
    // Entries waiting for their check, places held included.
    std::size_t QueueLength();

private:
    void Run();
    void Check(const ReplayToCheck& entry);

    ScoreStore& store_;
    Metrics& metrics_;
    std::size_t capacity_;
    ReplayVerifier verify_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<ReplayToCheck> queue_;
    std::size_t reserved_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vemol::ranking
