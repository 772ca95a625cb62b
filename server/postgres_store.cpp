#include "server/postgres_store.h"

#include <mutex>
#include <optional>
#include <pqxx/pqxx>

#include "server/store_queries.h"

namespace vemol::ranking {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS scores ("
    " id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, score INTEGER NOT NULL,"
    " name TEXT NOT NULL, home_page TEXT NOT NULL, comment TEXT NOT NULL,"
    " received_at BIGINT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS scores_by_name ON scores (name, received_at);"
    "CREATE TABLE IF NOT EXISTS best_scores ("
    " name TEXT PRIMARY KEY, score INTEGER NOT NULL,"
    " score_id BIGINT NOT NULL REFERENCES scores (id));"
    "CREATE INDEX IF NOT EXISTS best_scores_order ON best_scores (score DESC, score_id);";

// Every instance writing to the same database takes this transaction lock first, so the
// duplicate check and the insert of one instance never interleave with another's, and
// instances starting together do not race to create the tables.
constexpr const char* kWriteLock = "SELECT pg_advisory_xact_lock(7301140252)";

// The duplicate check, the insert and the best-score update in one statement, so a score
// costs one round trip to the server instead of three.
// $1 score, $2 name, $3 home page, $4 comment, $5 time, $6 earliest time of a duplicate.
constexpr const char* kAddScore =
    "WITH duplicate AS ("
    " SELECT 1 FROM scores WHERE name = $2::text AND received_at >= $6::bigint AND score = $1::integer"
    " AND home_page = $3::text AND comment = $4::text LIMIT 1),"
    " inserted AS ("
    " INSERT INTO scores (score, name, home_page, comment, received_at)"
    " SELECT $1::integer, $2::text, $3::text, $4::text, $5::bigint WHERE NOT EXISTS (SELECT 1 FROM duplicate)"
    " RETURNING id, name, score),"
    " raised AS ("
    " INSERT INTO best_scores (name, score, score_id) SELECT name, score, id FROM inserted"
    " ON CONFLICT (name) DO UPDATE SET score = excluded.score, score_id = excluded.score_id"
    " WHERE excluded.score > best_scores.score)"
    " SELECT count(*) FROM inserted";

// One connection with the statements prepared on it, opened again after it broke.
class Session {
public:
    explicit Session(std::string address) : address_(std::move(address)) {}

    // Runs `work` on the connection. A connection found broken (the database restarted,
    // an idle connection was cut) is opened afresh and `work` tried once more: its
    // transaction never committed, and a write that did commit before the break is
    // caught as a re-send.
    template <typename Work>
    auto Run(Work&& work) {
        for (int attempt = 1;; ++attempt) {
            try {
                if (!connection_ || !connection_->is_open()) Connect();
                return work(*connection_);
            } catch (const pqxx::broken_connection& error) {
                connection_.reset();
                if (attempt == 2) throw StoreError(std::string("PostgreSQL: connection lost: ") + error.what());
            } catch (const std::exception& error) {
                throw StoreError(std::string("PostgreSQL: ") + error.what());
            }
        }
    }

private:
    void Connect() {
        connection_.reset();
        auto connection = std::make_unique<pqxx::connection>(address_);
        {
            pqxx::work schema(*connection);
            schema.exec(kWriteLock);
            schema.exec(kSchema);
            schema.commit();
        }
        connection->prepare("add_score", kAddScore);
        connection->prepare("top_scores", queries::kTopScores);
        connection_ = std::move(connection);
    }

    std::string address_;
    std::unique_ptr<pqxx::connection> connection_;
};

AddOutcome AddOne(pqxx::work& transaction, const NewScore& score) {
    pqxx::row inserted = transaction.exec_prepared1("add_score", score.score, score.name, score.homePage, score.comment,
                                                    score.receivedAt, score.receivedAt - kDuplicateWindowSeconds);
    return inserted[0].as<int>() == 1 ? AddOutcome::Stored : AddOutcome::Duplicate;
}

class PostgresStore final : public ScoreStore {
public:
    explicit PostgresStore(const std::string& address) : writer_(address), reader_(address) {
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
            transaction.commit();
            return outcomes;
        });
    }

    std::vector<StoredScore> TopScores(int limit) override {
        std::lock_guard lock(readMutex_);
        return reader_.Run([&](pqxx::connection& connection) {
            pqxx::read_transaction transaction(connection);
            std::vector<StoredScore> rows;
            for (const pqxx::row& row : transaction.exec_prepared("top_scores", limit)) {
                rows.push_back({row[0].as<int>(), row[1].as<std::string>(), row[2].as<std::string>(),
                                row[3].as<std::string>(), row[4].as<std::int64_t>()});
            }
            return rows;
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

private:
    std::mutex writeMutex_;
    std::mutex readMutex_;
    Session writer_;
    Session reader_;
};

}  // namespace

std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& address) {
    return std::make_unique<PostgresStore>(address);
}

}  // namespace vemol::ranking
