// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/sqlite_store.h"

#include <sqlite3.h>
#include <sys/statvfs.h>

#include <filesystem>
#include <mutex>

#include "server/store_queries.h"

namespace vemol::ranking {
namespace {

constexpr int kBusyTimeoutMs = 5000;

// The writing connection makes the file ready: write-ahead log, commits synced to disk
// (a score answered as stored survives even a power cut), the tables.
constexpr const char* kWriterSetup =
    "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON;"
    "CREATE TABLE IF NOT EXISTS scores ("
    " id INTEGER PRIMARY KEY, score INTEGER NOT NULL, name TEXT NOT NULL,"
    " home_page TEXT NOT NULL, comment TEXT NOT NULL, received_at INTEGER NOT NULL);"
    "CREATE INDEX IF NOT EXISTS scores_by_name ON scores (name, received_at);"
    "CREATE TABLE IF NOT EXISTS best_scores ("
    " name TEXT PRIMARY KEY, score INTEGER NOT NULL,"
    " score_id INTEGER NOT NULL REFERENCES scores (id));"
    "CREATE INDEX IF NOT EXISTS best_scores_order ON best_scores (score DESC, score_id);";

// Adding a score: look for a re-send, insert, raise the name's best score.
// $1 name, $2 earliest time, $3 score, $4 home page, $5 comment.
constexpr const char* kFindRecentDuplicate =
    "SELECT 1 FROM scores WHERE name = $1 AND received_at >= $2 AND score = $3 "
    "AND home_page = $4 AND comment = $5 LIMIT 1";

// $1 score, $2 name, $3 home page, $4 comment, $5 time; gives the new row's id.
constexpr const char* kInsertScore =
    "INSERT INTO scores (score, name, home_page, comment, received_at) "
    "VALUES ($1, $2, $3, $4, $5) RETURNING id";

// Keeps one row per name pointing at its best score; an equal score does not replace the
// earlier one, so the first to reach a score keeps it.
// $1 name, $2 score, $3 score id.
constexpr const char* kRaiseBestScore =
    "INSERT INTO best_scores (name, score, score_id) VALUES ($1, $2, $3) "
    "ON CONFLICT (name) DO UPDATE SET score = excluded.score, score_id = excluded.score_id "
    "WHERE excluded.score > best_scores.score";

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw StoreError("SQLite: " + what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

class Connection {
public:
    // Opens the file and runs `setup`, fixed statements without values, on it.
    Connection(const std::string& path, int flags, const char* setup = nullptr) {
        if (sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
            std::string reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw StoreError("SQLite: cannot open " + path + ": " + reason);
        }
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        sqlite3_extended_result_codes(db_, 1);
        if (setup) {
            try {
                Run(setup);
            } catch (...) {
                sqlite3_close_v2(db_);
                throw;
            }
        }
    }
    ~Connection() { sqlite3_close_v2(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* get() const { return db_; }
    void SetBusyTimeout(int milliseconds) { sqlite3_busy_timeout(db_, milliseconds); }
    // Fixed statements without values (pragmas, schema, transaction brackets).
    void Run(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            std::string reason = message ? message : sqlite3_errmsg(db_);
            sqlite3_free(message);
            throw StoreError(std::string("SQLite: ") + reason);
        }
    }

private:
    sqlite3* db_ = nullptr;
};

// A prepared statement whose $N parameters are bound by number; reset after every use.
class Statement {
public:
    Statement(Connection& connection, const char* sql) : db_(connection.get()) {
        if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement_, nullptr) != SQLITE_OK)
            Fail(db_, "cannot prepare a statement");
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int number, std::int64_t value) {
        Check(sqlite3_bind_int64(statement_, Index(number), value));
        return *this;
    }
    Statement& Bind(int number, const std::string& text) {
        Check(
            sqlite3_bind_text(statement_, Index(number), text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
        return *this;
    }
    // True while a row is available.
    bool Step() {
        int result = sqlite3_step(statement_);
        if (result == SQLITE_ROW) return true;
        if (result == SQLITE_DONE) return false;
        Fail(db_, "statement failed");
    }
    std::int64_t Integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::string Text(int column) const {
        auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                    : std::string();
    }
    void Reset() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }

private:
    int Index(int number) const {
        std::string name = std::string(1, '$') + std::to_string(number);
        int index = sqlite3_bind_parameter_index(statement_, name.c_str());
        if (index == 0) throw StoreError("SQLite: statement has no parameter " + name);
        return index;
    }
    void Check(int result) const {
        if (result != SQLITE_OK) Fail(db_, "cannot bind a value");
    }

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

// Resets a statement however its use ends.
struct ResetAfterUse {
    Statement& statement;
    ~ResetAfterUse() { statement.Reset(); }
};

class SqliteStore final : public ScoreStore {
public:
    explicit SqliteStore(const std::string& path)
        : writer_(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, kWriterSetup),
          reader_(path, SQLITE_OPEN_READONLY),
          health_(path, SQLITE_OPEN_READWRITE),
          folder_(std::filesystem::absolute(path).parent_path()),
          findDuplicate_(writer_, kFindRecentDuplicate),
          insert_(writer_, kInsertScore),
          raiseBest_(writer_, kRaiseBestScore),
          top_(reader_, queries::kTopScores) {
        health_.SetBusyTimeout(1000);
    }

    std::vector<AddOutcome> AddScores(std::span<const NewScore> scores) override {
        std::lock_guard lock(writeMutex_);
        // IMMEDIATE takes the write lock at once, so the duplicate check and the insert
        // see the same database even when another process shares the file.
        writer_.Run("BEGIN IMMEDIATE");
        try {
            std::vector<AddOutcome> outcomes;
            outcomes.reserve(scores.size());
            for (const NewScore& score : scores) outcomes.push_back(AddOne(score));
            writer_.Run("COMMIT");
            return outcomes;
        } catch (...) {
            sqlite3_exec(writer_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    std::vector<StoredScore> TopScores(int limit) override {
        std::lock_guard lock(readMutex_);
        ResetAfterUse reset{top_};
        top_.Bind(1, limit);
        std::vector<StoredScore> rows;
        while (top_.Step()) {
            rows.push_back(
                {static_cast<int>(top_.Integer(0)), top_.Text(1), top_.Text(2), top_.Text(3), top_.Integer(4)});
        }
        return rows;
    }

    void Ping() override {
        std::lock_guard lock(readMutex_);
        reader_.Run("SELECT count(*) FROM best_scores WHERE 0");
    }

    // The write lock taken as a post takes it (waiting at most 1 s for another writer)
    // and rolled back, and room on the disk for the database to grow: SQLite reuses the
    // space of its write-ahead log, so a full disk shows only once a post needs more.
    void CheckWritable() override {
        std::lock_guard lock(healthMutex_);
        struct statvfs disk {};
        if (statvfs(folder_.c_str(), &disk) == 0 && disk.f_bavail * disk.f_frsize < kLeastFreeBytes)
            throw StoreError("SQLite: the disk holding the database is full");
        health_.Run("BEGIN IMMEDIATE");
        sqlite3_exec(health_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }

private:
    static constexpr unsigned long long kLeastFreeBytes = 256 * 1024;

    AddOutcome AddOne(const NewScore& score) {
        {
            ResetAfterUse reset{findDuplicate_};
            findDuplicate_.Bind(1, score.name)
                .Bind(2, score.receivedAt - kDuplicateWindowSeconds)
                .Bind(3, score.score)
                .Bind(4, score.homePage)
                .Bind(5, score.comment);
            if (findDuplicate_.Step()) return AddOutcome::Duplicate;
        }
        std::int64_t id = 0;
        {
            ResetAfterUse reset{insert_};
            insert_.Bind(1, score.score).Bind(2, score.name).Bind(3, score.homePage).Bind(4, score.comment);
            insert_.Bind(5, score.receivedAt);
            if (!insert_.Step()) Fail(writer_.get(), "insert gave no row id");
            id = insert_.Integer(0);
            while (insert_.Step()) {
            }
        }
        ResetAfterUse reset{raiseBest_};
        raiseBest_.Bind(1, score.name).Bind(2, score.score).Bind(3, id);
        raiseBest_.Step();
        return AddOutcome::Stored;
    }

    std::mutex writeMutex_;
    std::mutex readMutex_;
    std::mutex healthMutex_;
    Connection writer_;
    Connection reader_;
    Connection health_;
    std::string folder_;
    Statement findDuplicate_;
    Statement insert_;
    Statement raiseBest_;
    Statement top_;
};

}  // namespace

std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path) { return std::make_unique<SqliteStore>(path); }

}  // namespace vemol::ranking
