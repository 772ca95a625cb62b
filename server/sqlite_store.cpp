// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/sqlite_store.h"

#include <sqlite3.h>
#include <sys/statvfs.h>

#include <ctime>
#include <filesystem>
#include <limits>
#include <mutex>
#include <set>

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
    " home_page TEXT NOT NULL, comment TEXT NOT NULL, received_at INTEGER NOT NULL,"
    " address TEXT NOT NULL DEFAULT '', hidden INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX IF NOT EXISTS scores_by_name ON scores (name, received_at);"
    "CREATE TABLE IF NOT EXISTS best_scores ("
    " name TEXT PRIMARY KEY, score INTEGER NOT NULL,"
    " score_id INTEGER NOT NULL REFERENCES scores (id));"
    "CREATE INDEX IF NOT EXISTS best_scores_order ON best_scores (score DESC, score_id);"
    "CREATE TABLE IF NOT EXISTS audit_log ("
    " id INTEGER PRIMARY KEY, at INTEGER NOT NULL, action TEXT NOT NULL, entries TEXT NOT NULL);";

// A database made before moderation lacks the sender and the hidden mark, one made
// before replays the state of the entry's check.
constexpr const char* kAddedColumns[] = {
    "ALTER TABLE scores ADD COLUMN address TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE scores ADD COLUMN hidden INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE scores ADD COLUMN replay_state TEXT NOT NULL DEFAULT 'none'",
    "ALTER TABLE scores ADD COLUMN replay_reason TEXT NOT NULL DEFAULT ''",
};

constexpr const char* kReplaySchema =
    "CREATE TABLE IF NOT EXISTS replays (score_id INTEGER PRIMARY KEY REFERENCES scores (id), data BLOB NOT NULL);";

// $1 token, $2 entry, $3 its score, $4 expiry.
constexpr const char* kAddUpload =
    "INSERT INTO replay_uploads (token, score_id, score, expires_at) VALUES ($1, $2, $3, $4)";

// Adding a score: look for a re-send, insert, raise the name's best score.
// $1 name, $2 earliest time, $3 score, $4 home page, $5 comment.
constexpr const char* kFindRecentDuplicate =
    "SELECT 1 FROM scores WHERE name = $1 AND received_at >= $2 AND score = $3 "
    "AND home_page = $4 AND comment = $5 LIMIT 1";

// $1 score, $2 name, $3 home page, $4 comment, $5 time, $6 sender; gives the new row's id.
constexpr const char* kInsertScore =
    "INSERT INTO scores (score, name, home_page, comment, received_at, address) "
    "VALUES ($1, $2, $3, $4, $5, $6) RETURNING id";

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

// Brings a database made before moderation up to date: adds its columns (an existing
// column is left as it is), then the moderation tables.
struct Migration {
    explicit Migration(Connection& writer) {
        for (const char* alter : kAddedColumns) {
            char* message = nullptr;
            if (sqlite3_exec(writer.get(), alter, nullptr, nullptr, &message) != SQLITE_OK) {
                std::string reason = message ? message : sqlite3_errmsg(writer.get());
                sqlite3_free(message);
                if (reason.find("duplicate column") == std::string::npos)
                    throw StoreError("SQLite: cannot bring the database up to date: " + reason);
            }
        }
        writer.Run(queries::kModerationSchema);
        writer.Run(queries::kReplayUploadSchema);
        writer.Run(kReplaySchema);
    }
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
    Statement& Bind(int number, std::span<const std::uint8_t> bytes) {
        Check(sqlite3_bind_blob64(statement_, Index(number), bytes.data(), bytes.size(), SQLITE_TRANSIENT));
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
    std::vector<std::uint8_t> Blob(int column) const {
        auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
        return bytes ? std::vector<std::uint8_t>(bytes, bytes + sqlite3_column_bytes(statement_, column))
                     : std::vector<std::uint8_t>();
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
    // Runs `work` in one write transaction, committed before this returns.
    template <typename Work>
    auto InWriteTransaction(Work&& work) {
        std::lock_guard lock(writeMutex_);
        // IMMEDIATE takes the write lock at once, so what `work` reads and what it writes
        // see the same database even when another process shares the file.
        writer_.Run("BEGIN IMMEDIATE");
        try {
            auto result = work();
            writer_.Run("COMMIT");
            return result;
        } catch (...) {
            sqlite3_exec(writer_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    void CopyChecked(const std::string& partial) {
        Connection source(path_, SQLITE_OPEN_READONLY);
        Connection copy(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite3_backup* backup = sqlite3_backup_init(copy.get(), "main", source.get(), "main");
        if (!backup) Fail(copy.get(), "cannot start the backup");
        int result = SQLITE_OK;
        while ((result = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || result == SQLITE_LOCKED) sqlite3_sleep(20);
        sqlite3_backup_finish(backup);
        if (result != SQLITE_DONE) Fail(copy.get(), "the backup failed");
        {
            Statement check(copy, "PRAGMA integrity_check");
            if (!check.Step() || check.Text(0) != "ok") throw StoreError("SQLite: the copy failed its integrity check");
        }
        // The copy keeps the database's write-ahead-log mode; leaving it makes the copy
        // one self-contained file.
        copy.Run("PRAGMA journal_mode = DELETE");
    }

    void Audit(const std::string& action, const std::string& entries) {
        ResetAfterUse reset{audit_};
        audit_.Bind(1, static_cast<std::int64_t>(std::time(nullptr))).Bind(2, action).Bind(3, entries).Step();
    }

public:
    explicit SqliteStore(const std::string& path)
        : writer_(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, kWriterSetup),
          migration_(writer_),
          reader_(path, SQLITE_OPEN_READONLY),
          health_(path, SQLITE_OPEN_READWRITE),
          path_(path),
          folder_(std::filesystem::absolute(path).parent_path()),
          findDuplicate_(writer_, kFindRecentDuplicate),
          insert_(writer_, kInsertScore),
          raiseBest_(writer_, kRaiseBestScore),
          top_(reader_, queries::kTopScores),
          topSince_(reader_, queries::kTopScoresSince),
          list_(reader_, queries::kListEntries),
          bans_(reader_, queries::kBans),
          auditLog_(reader_, queries::kAuditLog),
          setHidden_(writer_, queries::kSetHidden),
          forgetBest_(writer_, queries::kForgetBest),
          findBest_(writer_, queries::kFindBest),
          addBan_(writer_, queries::kAddBan),
          removeBan_(writer_, queries::kRemoveBan),
          audit_(writer_, queries::kAudit),
          addUpload_(writer_, kAddUpload),
          takeUpload_(writer_, queries::kTakeUpload),
          forgetUploads_(writer_, queries::kForgetExpiredUploads),
          storeReplay_(writer_, queries::kStoreReplay),
          setReplayState_(writer_, queries::kSetReplayState),
          pending_(reader_, queries::kPendingReplays),
          findReplay_(reader_, queries::kFindReplay),
          topVerified_(reader_, queries::kTopVerifiedSince) {
        health_.SetBusyTimeout(1000);
    }

    std::vector<AddOutcome> AddScores(std::span<const NewScore> scores) override {
        return InWriteTransaction([&] {
            std::vector<AddOutcome> outcomes;
            outcomes.reserve(scores.size());
            for (const NewScore& score : scores) outcomes.push_back(AddOne(score));
            ForgetExpiredUploads(std::time(nullptr));
            return outcomes;
        });
    }

    std::vector<StoredScore> TopScores(int limit, std::int64_t since, bool verifiedOnly) override {
        std::lock_guard lock(readMutex_);
        Statement& query = verifiedOnly ? topVerified_ : since > 0 ? topSince_ : top_;
        ResetAfterUse reset{query};
        query.Bind(1, limit);
        if (since > 0 || verifiedOnly) query.Bind(2, since);
        std::vector<StoredScore> rows;
        while (query.Step()) {
            rows.push_back({static_cast<int>(query.Integer(0)), query.Text(1), query.Text(2), query.Text(3),
                            query.Integer(4), query.Integer(5), query.Text(6) == "verified"});
        }
        return rows;
    }

    std::optional<ReplayToCheck> AcceptReplay(const std::string& token, std::int64_t now,
                                              std::span<const std::uint8_t> replay) override {
        return InWriteTransaction([&]() -> std::optional<ReplayToCheck> {
            std::optional<ReplayToCheck> upload;
            {
                ResetAfterUse reset{takeUpload_};
                takeUpload_.Bind(1, token);
                if (takeUpload_.Step() && takeUpload_.Integer(1) >= now)
                    upload = ReplayToCheck{takeUpload_.Integer(0), static_cast<int>(takeUpload_.Integer(2))};
                while (takeUpload_.Step()) {
                }
            }
            ForgetExpiredUploads(now);
            if (!upload) return std::nullopt;
            {
                ResetAfterUse reset{storeReplay_};
                storeReplay_.Bind(1, upload->entryId).Bind(2, replay).Step();
            }
            MarkReplay(upload->entryId, ReplayState::Pending, "");
            return upload;
        });
    }

    std::vector<ReplayToCheck> PendingReplays() override {
        std::lock_guard lock(readMutex_);
        ResetAfterUse reset{pending_};
        std::vector<ReplayToCheck> pending;
        while (pending_.Step()) pending.push_back({pending_.Integer(0), static_cast<int>(pending_.Integer(1))});
        return pending;
    }

    void SetReplayState(std::int64_t entryId, ReplayState state, const std::string& reason) override {
        InWriteTransaction([&] {
            MarkReplay(entryId, state, reason);
            return 0;
        });
    }

    std::optional<StoredReplay> FindReplay(std::int64_t entryId) override {
        std::lock_guard lock(readMutex_);
        ResetAfterUse reset{findReplay_};
        findReplay_.Bind(1, entryId);
        if (!findReplay_.Step()) return std::nullopt;
        return StoredReplay{static_cast<int>(findReplay_.Integer(0)), ReplayStateOfName(findReplay_.Text(1)),
                            findReplay_.Integer(2) != 0, findReplay_.Blob(3)};
    }

    std::vector<Entry> ListEntries(const EntryFilter& filter) override {
        std::lock_guard lock(readMutex_);
        ResetAfterUse reset{list_};
        list_.Bind(1, filter.name).Bind(2, filter.address).Bind(3, filter.since);
        list_.Bind(4, filter.until > 0 ? filter.until : std::numeric_limits<std::int64_t>::max()).Bind(5, filter.limit);
        std::vector<Entry> entries;
        while (list_.Step()) {
            entries.push_back(
                {list_.Integer(0),
                 {static_cast<int>(list_.Integer(1)), list_.Text(2), list_.Text(3), list_.Text(4), list_.Integer(5)},
                 list_.Text(6),
                 list_.Integer(7) != 0,
                 ReplayStateOfName(list_.Text(8)),
                 list_.Text(9)});
        }
        return entries;
    }

    std::vector<std::int64_t> SetHidden(std::span<const std::int64_t> ids, bool hidden,
                                        const std::string& action) override {
        return InWriteTransaction([&] {
            std::vector<std::int64_t> changed;
            std::set<std::string> names;
            for (std::int64_t id : ids) {
                ResetAfterUse reset{setHidden_};
                setHidden_.Bind(1, id).Bind(2, hidden ? 1 : 0);
                if (setHidden_.Step()) {
                    changed.push_back(id);
                    names.insert(setHidden_.Text(0));
                }
                while (setHidden_.Step()) {
                }
            }
            for (const std::string& name : names) {
                for (Statement* step : {&forgetBest_, &findBest_}) {
                    ResetAfterUse reset{*step};
                    step->Bind(1, name).Step();
                }
            }
            Audit(action, JoinIds(changed));
            return changed;
        });
    }

    bool SetBan(const Ban& ban, bool banned, const std::string& action) override {
        return InWriteTransaction([&] {
            Statement& change = banned ? addBan_ : removeBan_;
            ResetAfterUse reset{change};
            change.Bind(1, ban.kind).Bind(2, ban.value);
            if (banned) change.Bind(3, static_cast<std::int64_t>(std::time(nullptr)));
            bool changed = change.Step();
            while (change.Step()) {
            }
            if (changed) Audit(action, "");
            return changed;
        });
    }

    std::vector<Ban> Bans() override {
        std::lock_guard lock(readMutex_);
        ResetAfterUse reset{bans_};
        std::vector<Ban> bans;
        while (bans_.Step()) bans.push_back({bans_.Text(0), bans_.Text(1), bans_.Integer(2)});
        return bans;
    }

    std::vector<AuditEntry> AuditLog(int limit) override {
        std::lock_guard lock(readMutex_);
        ResetAfterUse reset{auditLog_};
        auditLog_.Bind(1, limit);
        std::vector<AuditEntry> lines;
        while (auditLog_.Step()) lines.push_back({auditLog_.Integer(0), auditLog_.Text(1), auditLog_.Text(2)});
        return lines;
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

    // SQLite's online backup in one step: a read transaction on the write-ahead log sees
    // one committed state and does not hold up the writer. The copy is written beside
    // `file`, checked, synced and only then renamed into place.
    void Backup(const std::string& file) override {
        std::string partial = file + ".partial";
        try {
            std::filesystem::remove(partial);
            CopyChecked(partial);
            std::filesystem::rename(partial, file);
        } catch (const std::filesystem::filesystem_error& error) {
            std::filesystem::remove(partial);
            throw StoreError(std::string("cannot write the backup: ") + error.what());
        } catch (...) {
            std::filesystem::remove(partial);
            throw;
        }
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
            insert_.Bind(5, score.receivedAt).Bind(6, score.address);
            if (!insert_.Step()) Fail(writer_.get(), "insert gave no row id");
            id = insert_.Integer(0);
            while (insert_.Step()) {
            }
        }
        {
            ResetAfterUse reset{raiseBest_};
            raiseBest_.Bind(1, score.name).Bind(2, score.score).Bind(3, id);
            raiseBest_.Step();
        }
        if (!score.uploadToken.empty()) {
            ResetAfterUse reset{addUpload_};
            addUpload_.Bind(1, score.uploadToken).Bind(2, id).Bind(3, score.score);
            addUpload_.Bind(4, score.receivedAt + kReplayUploadSeconds).Step();
        }
        return AddOutcome::Stored;
    }

    // Tokens nobody used go with the next write, so games that never upload leave none.
    void ForgetExpiredUploads(std::int64_t now) {
        ResetAfterUse reset{forgetUploads_};
        forgetUploads_.Bind(1, now).Step();
    }

    void MarkReplay(std::int64_t entryId, ReplayState state, const std::string& reason) {
        ResetAfterUse reset{setReplayState_};
        setReplayState_.Bind(1, entryId).Bind(2, std::string(ReplayStateName(state))).Bind(3, reason).Step();
    }

    std::mutex writeMutex_;
    std::mutex readMutex_;
    std::mutex healthMutex_;
    Connection writer_;
    Migration migration_;
    Connection reader_;
    Connection health_;
    std::string path_;
    std::string folder_;
    Statement findDuplicate_;
    Statement insert_;
    Statement raiseBest_;
    Statement top_, topSince_, list_, bans_, auditLog_;
    Statement setHidden_, forgetBest_, findBest_, addBan_, removeBan_, audit_;
    Statement addUpload_, takeUpload_, forgetUploads_, storeReplay_, setReplayState_, pending_, findReplay_,
        topVerified_;
};

}  // namespace

std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path) { return std::make_unique<SqliteStore>(path); }

}  // namespace vemol::ranking
