// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/postgres_store.h"

#include <sys/socket.h>

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <limits>
#include <list>
#include <mutex>
#include <optional>
#include <pqxx/pqxx>
#include <set>
#include <thread>

#include "server/store_queries.h"

namespace vemol::ranking {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS scores ("
    " id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, score INTEGER NOT NULL,"
    " name TEXT NOT NULL, home_page TEXT NOT NULL, comment TEXT NOT NULL,"
    " received_at BIGINT NOT NULL);"
    // A database made before moderation gains the sender and the hidden mark; checked
    // first, since ALTER TABLE locks the table even when it has nothing to do.
    "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM information_schema.columns"
    " WHERE table_schema = current_schema() AND table_name = 'scores' AND column_name = 'hidden') THEN"
    " ALTER TABLE scores ADD COLUMN address TEXT NOT NULL DEFAULT '',"
    " ADD COLUMN hidden INTEGER NOT NULL DEFAULT 0; END IF; END $$;"
    "CREATE TABLE IF NOT EXISTS audit_log ("
    " id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, at BIGINT NOT NULL, action TEXT NOT NULL,"
    " entries TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS scores_by_name ON scores (name, received_at);"
    "CREATE TABLE IF NOT EXISTS best_scores ("
    " name TEXT PRIMARY KEY, score INTEGER NOT NULL,"
    " score_id BIGINT NOT NULL REFERENCES scores (id));"
    "CREATE INDEX IF NOT EXISTS best_scores_order ON best_scores (score DESC, score_id);"
    "CREATE TABLE IF NOT EXISTS post_allowance ("
    " sender_range TEXT PRIMARY KEY, tokens FLOAT8 NOT NULL, refilled_at FLOAT8 NOT NULL);"
    // A database made before replays gains the state of each entry's check.
    "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM information_schema.columns"
    " WHERE table_schema = current_schema() AND table_name = 'scores' AND column_name = 'replay_state') THEN"
    " ALTER TABLE scores ADD COLUMN replay_state TEXT NOT NULL DEFAULT 'none',"
    " ADD COLUMN replay_reason TEXT NOT NULL DEFAULT ''; END IF; END $$;"
    "CREATE TABLE IF NOT EXISTS replays (score_id BIGINT PRIMARY KEY REFERENCES scores (id), data BYTEA NOT NULL);";

// Every instance writing to the same database takes this transaction lock first, so the
// duplicate check and the insert of one instance never interleave with another's, and
// instances starting together do not race to create the tables.
constexpr const char* kWriteLock = "SELECT pg_advisory_xact_lock(7301140252)";

// The duplicate check, the insert and the best-score update in one statement, so a score
// costs one round trip to the server instead of three.
// $1 score, $2 name, $3 home page, $4 comment, $5 time, $6 earliest time of a duplicate,
// $7 sender, $8 upload token or '', $9 when it expires.
constexpr const char* kAddScore =
    "WITH duplicate AS ("
    " SELECT 1 FROM scores WHERE name = $2::text AND received_at >= $6::bigint AND score = $1::integer"
    " AND home_page = $3::text AND comment = $4::text LIMIT 1),"
    " inserted AS ("
    " INSERT INTO scores (score, name, home_page, comment, received_at, address)"
    " SELECT $1::integer, $2::text, $3::text, $4::text, $5::bigint, $7::text WHERE NOT EXISTS (SELECT 1 FROM duplicate)"
    " RETURNING id, name, score),"
    " raised AS ("
    " INSERT INTO best_scores (name, score, score_id) SELECT name, score, id FROM inserted"
    " ON CONFLICT (name) DO UPDATE SET score = excluded.score, score_id = excluded.score_id"
    " WHERE excluded.score > best_scores.score),"
    " upload AS ("
    " INSERT INTO replay_uploads (token, score_id, score, expires_at)"
    " SELECT $8::text, id, score, $9::bigint FROM inserted WHERE $8::text <> '')"
    " SELECT count(*) FROM inserted";

// The allowance of posts per sender range, shared by every instance: a token bucket
// refilled by the database's own clock, so instances whose clocks differ still agree.
// $1 range, $2 posts a minute. Gives a row when the post is allowed.
constexpr const char* kTakePost =
    "WITH now AS (SELECT extract(epoch FROM clock_timestamp())::float8 AS t)"
    " INSERT INTO post_allowance (sender_range, tokens, refilled_at)"
    " SELECT $1::text, $2::float8 - 1, t FROM now"
    " ON CONFLICT (sender_range) DO UPDATE SET"
    " tokens = LEAST($2::float8, post_allowance.tokens + ((SELECT t FROM now) - post_allowance.refilled_at)"
    " * $2::float8 / 60) - 1, refilled_at = (SELECT t FROM now)"
    " WHERE LEAST($2::float8, post_allowance.tokens + ((SELECT t FROM now) - post_allowance.refilled_at)"
    " * $2::float8 / 60) >= 1"
    " RETURNING 1";
// Ranges whose allowance has long refilled are forgotten.
constexpr const char* kForgetFullAllowances =
    "DELETE FROM post_allowance WHERE refilled_at < extract(epoch FROM clock_timestamp()) - 120";

// Limits set on every connection, so that a slow or stuck database, or another instance
// that froze while holding the write lock, costs a bounded time: an instance stuck inside
// a transaction loses it (and the lock) after 2 s, and a waiting one gives up after 3 s.
constexpr const char* kSessionLimits =
    "SET statement_timeout = 3500; SET lock_timeout = 3000; SET idle_in_transaction_session_timeout = 2000";
// Connecting gives up after 2 s (libpq's least), and a connection whose peer vanished is
// found dead by TCP within about 10 s even while idle.
constexpr const char* kConnectionLimits =
    "connect_timeout=2&keepalives=1&keepalives_idle=5&keepalives_interval=2&keepalives_count=2&tcp_user_timeout=8000";

std::string WithConnectionLimits(const std::string& address) {
    return address + (address.find('?') == std::string::npos ? "?" : "&") + kConnectionLimits;
}

using Clock = std::chrono::steady_clock;

// The database's own time limits do not help when it stops answering altogether (a
// frozen server, a network that drops everything): a call past its deadline has its
// socket shut down, which ends libpq's wait at once with a broken connection.
class Watchdog {
public:
    Watchdog() : thread_([this] { Run(); }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    struct Entry {
        int fd;
        Clock::time_point deadline;
        bool fired = false;
    };
    // Guards `fd` until the returned entry is released.
    std::list<Entry>::iterator Guard(int fd, Clock::time_point deadline) {
        std::lock_guard lock(mutex_);
        return entries_.insert(entries_.end(), Entry{fd, deadline});
    }
    // True when the guard had to fire.
    bool Release(std::list<Entry>::iterator entry) {
        std::lock_guard lock(mutex_);
        bool fired = entry->fired;
        entries_.erase(entry);
        return fired;
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            wake_.wait_for(lock, std::chrono::milliseconds(50));
            for (Entry& entry : entries_) {
                if (!entry.fired && Clock::now() > entry.deadline) {
                    shutdown(entry.fd, SHUT_RDWR);
                    entry.fired = true;
                }
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::list<Entry> entries_;
    bool stopping_ = false;
    std::thread thread_;
};

// One connection with the statements prepared on it, opened again after it broke.
class Session {
public:
    Session(std::string address, Watchdog& watchdog, std::chrono::milliseconds limit)
        : address_(WithConnectionLimits(address)), watchdog_(watchdog), limit_(limit) {}

    // Runs `work` on the connection within the session's time limit. A connection found
    // broken (the database restarted, an idle connection was cut) is opened afresh and
    // `work` tried once more: its transaction never committed, and a write that did
    // commit before the break is caught as a re-send. A database that did not answer in
    // time is not tried again.
    template <typename Work>
    auto Run(Work&& work) {
        Clock::time_point deadline = Clock::now() + limit_;
        for (int attempt = 1;; ++attempt) {
            bool fired = false;
            try {
                if (!connection_ || !connection_->is_open()) Connect(deadline);
                auto guard = watchdog_.Guard(connection_->sock(), deadline);
                try {
                    auto result = work(*connection_);
                    if (watchdog_.Release(guard)) throw pqxx::broken_connection("no answer in time");
                    return result;
                } catch (...) {
                    fired = watchdog_.Release(guard) || fired;
                    throw;
                }
            } catch (const pqxx::broken_connection& error) {
                connection_.reset();
                if (fired) throw StoreError("PostgreSQL: no answer within " + std::to_string(limit_.count()) + " ms");
                if (attempt == 2) throw StoreError(std::string("PostgreSQL: connection lost: ") + error.what());
            } catch (const std::exception& error) {
                throw StoreError(std::string("PostgreSQL: ") + error.what());
            }
        }
    }

private:
    void Connect(Clock::time_point deadline) {
        connection_.reset();
        auto connection = std::make_unique<pqxx::connection>(address_);
        auto guard = watchdog_.Guard(connection->sock(), deadline);
        try {
            pqxx::work schema(*connection);
            schema.exec(kSessionLimits);
            schema.exec(kWriteLock);
            schema.exec(kSchema);
            schema.exec(queries::kModerationSchema);
            schema.exec(queries::kReplayUploadSchema);
            schema.commit();
            connection->prepare("add_score", kAddScore);
            connection->prepare("top_scores", queries::kTopScores);
            connection->prepare("top_scores_since", queries::kTopScoresSince);
            connection->prepare("list_entries", queries::kListEntries);
            connection->prepare("set_hidden", queries::kSetHidden);
            connection->prepare("forget_best", queries::kForgetBest);
            connection->prepare("find_best", queries::kFindBest);
            connection->prepare("add_ban", queries::kAddBan);
            connection->prepare("remove_ban", queries::kRemoveBan);
            connection->prepare("bans", queries::kBans);
            connection->prepare("audit", queries::kAudit);
            connection->prepare("audit_log", queries::kAuditLog);
            connection->prepare("take_post", kTakePost);
            connection->prepare("top_verified_since", queries::kTopVerifiedSince);
            connection->prepare("take_upload", queries::kTakeUpload);
            connection->prepare("forget_uploads", queries::kForgetExpiredUploads);
            connection->prepare("store_replay", queries::kStoreReplay);
            connection->prepare("set_replay_state", queries::kSetReplayState);
            connection->prepare("pending_replays", queries::kPendingReplays);
            connection->prepare("find_replay", queries::kFindReplay);
        } catch (...) {
            if (watchdog_.Release(guard)) throw pqxx::broken_connection("no answer in time");
            throw;
        }
        watchdog_.Release(guard);
        connection_ = std::move(connection);
    }

    std::string address_;
    Watchdog& watchdog_;
    std::chrono::milliseconds limit_;
    std::unique_ptr<pqxx::connection> connection_;
};

AddOutcome AddOne(pqxx::work& transaction, const NewScore& score) {
    pqxx::row inserted =
        transaction.exec_prepared1("add_score", score.score, score.name, score.homePage, score.comment,
                                   score.receivedAt, score.receivedAt - kDuplicateWindowSeconds, score.address,
                                   score.uploadToken, score.receivedAt + kReplayUploadSeconds);
    return inserted[0].as<int>() == 1 ? AddOutcome::Stored : AddOutcome::Duplicate;
}

class PostgresStore final : public ScoreStore {
    // Runs `work` in one transaction holding the write lock every instance takes.
    template <typename Work>
    auto InWriteTransaction(Work&& work) {
        std::lock_guard lock(writeMutex_);
        return writer_.Run([&](pqxx::connection& connection) {
            pqxx::work transaction(connection);
            transaction.exec(kWriteLock);
            auto result = work(transaction);
            transaction.commit();
            return result;
        });
    }

    static void Audit(pqxx::work& transaction, const std::string& action, const std::string& entries) {
        transaction.exec_prepared("audit", static_cast<std::int64_t>(std::time(nullptr)), action, entries);
    }

public:
public:
    explicit PostgresStore(const std::string& address)
        : writer_(address, watchdog_, kWriteLimit),
          reader_(address, watchdog_, kReadLimit),
          limiter_(address, watchdog_, kReadLimit),
          health_(address, watchdog_, kHealthLimit) {
        // Connect now, so a wrong address or a missing database is reported at start-up.
        Ping();
    }

    std::vector<AddOutcome> AddScores(std::span<const NewScore> scores) override {
        std::lock_guard lock(writeMutex_);
        return writer_.Run([&](pqxx::connection& connection) {
            pqxx::work transaction(connection);
            transaction.exec(kWriteLock);
            std::vector<AddOutcome> outcomes;
            outcomes.reserve(scores.size());
            for (const NewScore& score : scores) outcomes.push_back(AddOne(transaction, score));
            // Tokens nobody used go with the next write, so games that never upload leave none.
            transaction.exec_prepared("forget_uploads", static_cast<std::int64_t>(std::time(nullptr)));
            transaction.commit();
            return outcomes;
        });
    }

    std::vector<StoredScore> TopScores(int limit, std::int64_t since, bool verifiedOnly) override {
        std::lock_guard lock(readMutex_);
        return reader_.Run([&](pqxx::connection& connection) {
            pqxx::read_transaction transaction(connection);
            std::vector<StoredScore> rows;
            pqxx::result result = verifiedOnly ? transaction.exec_prepared("top_verified_since", limit, since)
                                  : since > 0  ? transaction.exec_prepared("top_scores_since", limit, since)
                                               : transaction.exec_prepared("top_scores", limit);
            for (const pqxx::row& row : result) {
                rows.push_back({row[0].as<int>(), row[1].as<std::string>(), row[2].as<std::string>(),
                                row[3].as<std::string>(), row[4].as<std::int64_t>(), row[5].as<std::int64_t>(),
                                row[6].as<std::string>() == "verified"});
            }
            return rows;
        });
    }

    std::optional<ReplayToCheck> AcceptReplay(const std::string& token, std::int64_t now,
                                              std::span<const std::uint8_t> replay) override {
        return InWriteTransaction([&](pqxx::work& transaction) -> std::optional<ReplayToCheck> {
            pqxx::result taken = transaction.exec_prepared("take_upload", token);
            transaction.exec_prepared("forget_uploads", now);
            if (taken.empty() || taken[0][1].as<std::int64_t>() < now) return std::nullopt;
            ReplayToCheck upload{taken[0][0].as<std::int64_t>(), taken[0][2].as<int>()};
            transaction.exec_prepared("store_replay", upload.entryId, pqxx::binarystring(replay.data(), replay.size()));
            transaction.exec_prepared("set_replay_state", upload.entryId, ReplayStateName(ReplayState::Pending), "");
            return upload;
        });
    }

    std::vector<ReplayToCheck> PendingReplays() override {
        std::lock_guard lock(readMutex_);
        return reader_.Run([&](pqxx::connection& connection) {
            pqxx::read_transaction transaction(connection);
            std::vector<ReplayToCheck> pending;
            for (const pqxx::row& row : transaction.exec_prepared("pending_replays"))
                pending.push_back({row[0].as<std::int64_t>(), row[1].as<int>()});
            return pending;
        });
    }

    void SetReplayState(std::int64_t entryId, ReplayState state, const std::string& reason) override {
        InWriteTransaction([&](pqxx::work& transaction) {
            transaction.exec_prepared("set_replay_state", entryId, ReplayStateName(state), reason);
            return 0;
        });
    }

    std::optional<StoredReplay> FindReplay(std::int64_t entryId) override {
        std::lock_guard lock(readMutex_);
        return reader_.Run([&](pqxx::connection& connection) -> std::optional<StoredReplay> {
            pqxx::read_transaction transaction(connection);
            pqxx::result found = transaction.exec_prepared("find_replay", entryId);
            if (found.empty()) return std::nullopt;
            pqxx::binarystring data(found[0][3]);
            return StoredReplay{found[0][0].as<int>(), ReplayStateOfName(found[0][1].as<std::string>()),
                                found[0][2].as<int>() != 0, std::vector<std::uint8_t>(data.begin(), data.end())};
        });
    }

    void Ping() override {
        std::lock_guard lock(readMutex_);
        reader_.Run([](pqxx::connection& connection) {
            pqxx::nontransaction transaction(connection);
            transaction.exec("SELECT 1");
            return 0;
        });
    }

    // Takes the write lock as a post would and asks for a transaction id, which a
    // read-only server refuses; then rolls back.
    void CheckWritable() override {
        std::lock_guard lock(healthMutex_);
        health_.Run([](pqxx::connection& connection) {
            pqxx::work transaction(connection);
            transaction.exec("SET LOCAL lock_timeout = 1000");
            transaction.exec(kWriteLock);
            transaction.exec("SELECT txid_current()");
            transaction.abort();
            return 0;
        });
    }

    std::optional<bool> AllowPost(const std::string& senderRange, int postsPerMinute) override {
        std::lock_guard lock(limiterMutex_);
        return limiter_.Run([&](pqxx::connection& connection) {
            pqxx::nontransaction transaction(connection);
            if (++postsSincePrune_ >= 1000) {
                postsSincePrune_ = 0;
                transaction.exec(kForgetFullAllowances);
            }
            return !transaction.exec_prepared("take_post", senderRange, postsPerMinute).empty();
        });
    }

    std::vector<Entry> ListEntries(const EntryFilter& filter) override {
        std::lock_guard lock(readMutex_);
        return reader_.Run([&](pqxx::connection& connection) {
            pqxx::read_transaction transaction(connection);
            std::int64_t until = filter.until > 0 ? filter.until : std::numeric_limits<std::int64_t>::max();
            std::vector<Entry> entries;
            for (const pqxx::row& row : transaction.exec_prepared("list_entries", filter.name, filter.address,
                                                                  filter.since, until, filter.limit)) {
                entries.push_back({row[0].as<std::int64_t>(),
                                   {row[1].as<int>(), row[2].as<std::string>(), row[3].as<std::string>(),
                                    row[4].as<std::string>(), row[5].as<std::int64_t>()},
                                   row[6].as<std::string>(),
                                   row[7].as<int>() != 0,
                                   ReplayStateOfName(row[8].as<std::string>()),
                                   row[9].as<std::string>()});
            }
            return entries;
        });
    }

    std::vector<std::int64_t> SetHidden(std::span<const std::int64_t> ids, bool hidden,
                                        const std::string& action) override {
        return InWriteTransaction([&](pqxx::work& transaction) {
            std::vector<std::int64_t> changed;
            std::set<std::string> names;
            for (std::int64_t id : ids) {
                pqxx::result row = transaction.exec_prepared("set_hidden", id, hidden ? 1 : 0);
                if (row.empty()) continue;
                changed.push_back(id);
                names.insert(row[0][0].as<std::string>());
            }
            for (const std::string& name : names) {
                transaction.exec_prepared("forget_best", name);
                transaction.exec_prepared("find_best", name);
            }
            Audit(transaction, action, JoinIds(changed));
            return changed;
        });
    }

    bool SetBan(const Ban& ban, bool banned, const std::string& action) override {
        return InWriteTransaction([&](pqxx::work& transaction) {
            bool changed = banned ? !transaction
                                         .exec_prepared("add_ban", ban.kind, ban.value,
                                                        static_cast<std::int64_t>(std::time(nullptr)))
                                         .empty()
                                  : !transaction.exec_prepared("remove_ban", ban.kind, ban.value).empty();
            if (changed) Audit(transaction, action, "");
            return changed;
        });
    }

    // PostgreSQL's own pg_dump takes a consistent snapshot of a running database, keeps
    // the table definitions with the rows and restores into any later version; a copy
    // made here would be worse at all three.
    void Backup(const std::string&) override {
        throw StoreError(
            "PostgreSQL is backed up with its own tool while the server runs: "
            "pg_dump -Fc -f ranking.dump DBNAME (restore with pg_restore -d DBNAME ranking.dump)");
    }

    std::vector<Ban> Bans() override {
        std::lock_guard lock(readMutex_);
        return reader_.Run([&](pqxx::connection& connection) {
            pqxx::read_transaction transaction(connection);
            std::vector<Ban> bans;
            for (const pqxx::row& row : transaction.exec_prepared("bans"))
                bans.push_back({row[0].as<std::string>(), row[1].as<std::string>(), row[2].as<std::int64_t>()});
            return bans;
        });
    }

    std::vector<AuditEntry> AuditLog(int limit) override {
        std::lock_guard lock(readMutex_);
        return reader_.Run([&](pqxx::connection& connection) {
            pqxx::read_transaction transaction(connection);
            std::vector<AuditEntry> lines;
            for (const pqxx::row& row : transaction.exec_prepared("audit_log", limit))
                lines.push_back({row[0].as<std::int64_t>(), row[1].as<std::string>(), row[2].as<std::string>()});
            return lines;
        });
    }

private:
    // A post waits for at most one batch before its own: two write limits stay within
    // the game's 10 s.
    static constexpr std::chrono::milliseconds kWriteLimit{4000};
    static constexpr std::chrono::milliseconds kReadLimit{3000};
    static constexpr std::chrono::milliseconds kHealthLimit{1500};

    Watchdog watchdog_;
    std::mutex writeMutex_, readMutex_, limiterMutex_, healthMutex_;
    Session writer_, reader_, limiter_, health_;
    int postsSincePrune_ = 0;
};

}  // namespace

std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& address) {
    return std::make_unique<PostgresStore>(address);
}

}  // namespace vemol::ranking
