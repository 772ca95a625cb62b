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
    std::string address;          // the sender, for moderation; never shown
    // Where set, the entry's replay may be uploaded with this token until
    // kReplayUploadSeconds after receivedAt (a re-send gets none).
    std::string uploadToken = {};
};

// How long after its post an entry's replay may be uploaded.
constexpr std::int64_t kReplayUploadSeconds = 300;

// Where the check of an entry's replay stands: none uploaded, waiting for the check,
// the replay reaches the posted score, or it does not (with the reason).
enum class ReplayState { None, Pending, Verified, Failed };
const char* ReplayStateName(ReplayState state);
ReplayState ReplayStateOfName(const std::string& name);

// A stored score as the ranking shows it.
struct StoredScore {
    int score = 0;
    std::string name;
    std::string homePage;
    std::string comment;
    std::int64_t receivedAt = 0;
    std::int64_t id = 0;
    bool verified = false;  // its replay was checked and reaches the score
};

enum class AddOutcome {
    Stored,
    Duplicate,  // the same score, name, home page and comment arrived within the last minute
};

// One stored entry as the host's moderation sees it.
struct Entry {
    std::int64_t id = 0;
    StoredScore score;
    std::string address;
    bool hidden = false;
    ReplayState replay = ReplayState::None;
    std::string replayReason = {};  // why the check failed
};

// An uploaded replay waiting for its check: the entry and the score it must reach.
struct ReplayToCheck {
    std::int64_t entryId = 0;
    int score = 0;
};

// An entry's stored replay and where its check stands.
struct StoredReplay {
    int score = 0;
    ReplayState state = ReplayState::None;
    bool hidden = false;
    std::vector<std::uint8_t> bytes;
};

// Which entries `admin list` and `admin purge` take: empty texts and zero times match all.
struct EntryFilter {
    std::string name;
    std::string address;
    std::int64_t since = 0;
    std::int64_t until = 0;  // exclusive; 0: no end
    int limit = 50;
};

// A refused name, or an address: IPv4, IPv6, or an IPv6 prefix such as "2001:db8::/48".
struct Ban {
    std::string kind;  // "name" or "address"
    std::string value;
    std::int64_t since = 0;
};

// One line of the moderation log.
struct AuditEntry {
    std::int64_t at = 0;
    std::string action;
    std::string entries;  // the ids touched, comma-separated
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
    // The best visible score of each name, best first; equal scores in the order they
    // arrived. With `since`, only the entries received from then on count; with
    // `verifiedOnly`, only the entries whose replay reaches their score.
    virtual std::vector<StoredScore> TopScores(int limit, std::int64_t since = 0, bool verifiedOnly = false) = 0;
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

    // Replays. Takes the upload token (it is gone afterwards, used or not) and, when it
    // was known and is still valid at `now`, stores `replay` for its entry and marks the
    // entry pending, in one transaction. Nothing when the token is unknown or expired.
    virtual std::optional<ReplayToCheck> AcceptReplay(const std::string& token, std::int64_t now,
                                                      std::span<const std::uint8_t> replay) = 0;
    // Every entry whose check is pending, oldest first.
    virtual std::vector<ReplayToCheck> PendingReplays() = 0;
    // Records the outcome of an entry's check.
    virtual void SetReplayState(std::int64_t entryId, ReplayState state, const std::string& reason) = 0;
    // The entry's replay, if one was uploaded.
    virtual std::optional<StoredReplay> FindReplay(std::int64_t entryId) = 0;

    // Moderation, each call one transaction that also writes `action` to the audit log.
    // Newest first.
    virtual std::vector<Entry> ListEntries(const EntryFilter& filter) = 0;
    // Hides or shows the entries and moves each affected name's best to its best visible
    // entry; gives the ids whose state changed.
    virtual std::vector<std::int64_t> SetHidden(std::span<const std::int64_t> ids, bool hidden,
                                                const std::string& action) = 0;
    // Adds or removes a ban; false when there was nothing to change.
    virtual bool SetBan(const Ban& ban, bool banned, const std::string& action) = 0;
    virtual std::vector<Ban> Bans() = 0;
    // The newest `limit` lines, newest first.
    virtual std::vector<AuditEntry> AuditLog(int limit) = 0;

    // Writes a consistent copy of the whole database to `file` while the server goes on
    // storing scores; `file` appears only once the copy is complete and checked. Throws
    // StoreError, with the way to back up instead where this database has its own tool.
    virtual void Backup(const std::string& file) = 0;
};

// The ban that refuses a post from `name` at `address`, if any.
std::optional<Ban> FindBan(const std::vector<Ban>& bans, const std::string& name, const std::string& address);
// "3,7,12".
std::string JoinIds(std::span<const std::int64_t> ids);
// True when `value` is a name ban's name or an address ban's address or prefix.
bool IsValidBan(const Ban& ban);

// Opens (and on first use creates) the store at `location`: "sqlite:PATH" or a
// PostgreSQL connection address ("postgresql://..." or "postgres://..."). Throws
// StoreError with a readable reason when the location is unknown or cannot be opened.
std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& location);

}  // namespace vemol::ranking
