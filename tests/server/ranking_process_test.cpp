// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The vemol-ranking program itself: killed with SIGKILL in the middle of a burst of posts
// it loses no score it answered with 200 and leaves a sound database; SIGTERM ends it
// with exit code 0.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "ranking_client.h"
#include "server_process.h"

namespace vemol::ranking::testing {
namespace {

using namespace std::chrono_literals;

std::string QueryText(sqlite3* db, const char* sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    std::string text;
    if (sqlite3_step(statement) == SQLITE_ROW) text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return text;
}

std::set<std::string> StoredNames(sqlite3* db) {
    std::set<std::string> names;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM scores", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW)
        names.insert(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    return names;
}

TEST(RankingProcess, KilledDuringABurstLosesNoAnsweredScoreAndStopsCleanlyOnSigterm) {
    std::string directory = ::testing::TempDir() + "vemol-ranking-kill-XXXXXX";
    ASSERT_NE(mkdtemp(directory.data()), nullptr);
    const std::string database = directory + "/ranking.db";

    std::set<std::string> answered;
    {
        ServerProcess server(VEMOL_RANKING_BINARY, "sqlite:" + database, directory + "/first.log");
        ASSERT_NE(server.port, 0) << "the server did not start";
        std::mutex mutex;
        std::atomic<bool> running = true;
        std::vector<std::thread> senders;
        for (int sender = 0; sender < 8; ++sender) {
            senders.emplace_back([&, sender] {
                for (int i = 0; running; ++i) {
                    std::string name = std::to_string(sender) + "-" + std::to_string(i);
                    if (Send(server.port, GameRequest(i % 100000, name), "127.0.0.1", 5s).status == 200) {
                        std::lock_guard lock(mutex);
                        answered.insert(name);
                    }
                }
            });
        }
        while ([&] {
            std::lock_guard lock(mutex);
            return answered.size();
        }() < 300)
            std::this_thread::sleep_for(5ms);
        EXPECT_TRUE(WIFSIGNALED(server.Stop(SIGKILL)));
        running = false;
        for (std::thread& sender : senders) sender.join();
    }
    {
        ServerProcess restarted(VEMOL_RANKING_BINARY, "sqlite:" + database, directory + "/second.log");
        ASSERT_NE(restarted.port, 0) << "the server did not start again after the kill";
        EXPECT_EQ(Send(restarted.port, GameRequest(1, "after")).status, 200);
        int status = restarted.Stop(SIGTERM);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    EXPECT_EQ(QueryText(db, "PRAGMA integrity_check"), "ok");
    std::set<std::string> stored = StoredNames(db);
    sqlite3_close(db);
    for (const std::string& name : answered) EXPECT_TRUE(stored.count(name)) << name << " was answered 200 but is lost";
    EXPECT_TRUE(stored.count("after"));
    std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace vemol::ranking::testing
