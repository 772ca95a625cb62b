// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/score_writer.h"

namespace vemol::ranking {
namespace {

// Large enough to take every request thread's score in one transaction.
constexpr std::size_t kLargestBatch = 256;

}  // namespace

ScoreWriter::ScoreWriter(ScoreStore& store) : store_(store), thread_([this] { Run(); }) {}

ScoreWriter::~ScoreWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

AddOutcome ScoreWriter::Add(NewScore score) {
    Waiting waiting{std::move(score), {}};
    std::future<AddOutcome> done = waiting.done.get_future();
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(&waiting);
    }
    wake_.notify_one();
    return done.get();
}

std::size_t ScoreWriter::QueueLength() {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

void ScoreWriter::Run() {
    std::vector<Waiting*> batch;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;  // stopping, and nothing left to store
            std::size_t count = std::min(queue_.size(), kLargestBatch);
            batch.assign(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(count));
            queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(count));
        }
        StoreBatch(batch);
    }
}

void ScoreWriter::StoreBatch(std::vector<Waiting*>& batch) {
    std::vector<NewScore> scores;
    scores.reserve(batch.size());
    for (Waiting* waiting : batch) scores.push_back(waiting->score);
    try {
        std::vector<AddOutcome> outcomes = store_.AddScores(scores);
        for (std::size_t i = 0; i < batch.size(); ++i) batch[i]->done.set_value(outcomes[i]);
    } catch (...) {
        for (Waiting* waiting : batch) waiting->done.set_exception(std::current_exception());
    }
}

}  // namespace vemol::ranking
