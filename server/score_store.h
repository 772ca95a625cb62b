// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the ranking keeps its scores: one small interface, two databases behind it
// (SQLite, embedded, the default; PostgreSQL, for several server instances sharing one
// ranking). Texts are UTF-8 by the time they reach a store.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace vemol::ranking {

// One accepted submission.
struct NewScore {
    int score = 0;
    std::string name;
    std::string homePage;
    std::string comment;
    std::int64_t receivedAt = 0;  // seconds since 1970-01-01 UTC
};

// A stored score as the ranking shows it.
struct StoredScore {
    int score = 0;
    std::string name;
    std::string homePage;
    std::string comment;
    std::int64_t receivedAt = 0;
};

enum class AddOutcome {
    Stored,
    Duplicate,  // the same score, name, home page and comment arrived within the last minute
};

// A re-send is stored once when it arrives within this many seconds of the first.
constexpr std::int64_t kDuplicateWindowSeconds = 60;

// The database failed or cannot be reached; nothing of the failed call was stored.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ScoreStore {
public:
    virtual ~ScoreStore() = default;
    // Stores the scores in one transaction that is committed before this returns, one
    // outcome per score in order. Throws StoreError, and then none of them is stored.
    // Calls may come from any thread.
    virtual std::vector<AddOutcome> AddScores(std::span<const NewScore> scores) = 0;
    // The best score of each name, best first; equal scores in the order they arrived.
    virtual std::vector<StoredScore> TopScores(int limit) = 0;
    // Throws StoreError when the database does not answer.
    virtual void Ping() = 0;
    // Throws StoreError, with the reason, unless a write would commit now: the write lock
    // can be taken and the database can grow. Writes nothing.
    virtual void CheckWritable() = 0;
    // Takes one post from the allowance of `senderRange` (an address, or an IPv6 /64),
    // `postsPerMinute` a minute, kept in the database so that every server instance on
    // it shares one allowance. Nothing when this database keeps none: the server then
    // counts in its own memory. Throws StoreError.
    virtual std::optional<bool> AllowPost(const std::string& senderRange, int postsPerMinute) {
        (void)senderRange, (void)postsPerMinute;
        return std::nullopt;
    }
};

// Opens (and on first use creates) the store at `location`: "sqlite:PATH" or a
// PostgreSQL connection address ("postgresql://..." or "postgres://..."). Throws
// StoreError with a readable reason when the location is unknown or cannot be opened.
std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& location);

}  // namespace vemol::ranking
