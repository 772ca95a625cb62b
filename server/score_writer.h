// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Group commit: request threads hand their scores to one writer thread, which stores
// everything waiting in a single transaction and wakes each request once its score is
// committed. Under load one disk sync then covers many scores instead of one each.
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "server/score_store.h"

namespace vemol::ranking {

class ScoreWriter {
public:
    explicit ScoreWriter(ScoreStore& store);
    // Stores whatever is still waiting, then stops.
    ~ScoreWriter();
    ScoreWriter(const ScoreWriter&) = delete;
    ScoreWriter& operator=(const ScoreWriter&) = delete;

    // Blocks until the score is committed (or found to be a re-send); throws StoreError
    // when the database failed, and then the score was not stored.
    AddOutcome Add(NewScore score);
    // Scores waiting for the next transaction.
    std::size_t QueueLength();

private:
    struct Waiting {
        NewScore score;
        std::promise<AddOutcome> done;
    };
    void Run();
    void StoreBatch(std::vector<Waiting*>& batch);

    ScoreStore& store_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<Waiting*> queue_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vemol::ranking
