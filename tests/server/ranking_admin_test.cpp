// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The host's moderation and backups through the real `vemol-ranking admin` and `backup`
// programs, against the database a running server uses.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

#include "backend_fixture.h"
#include "ranking_client.h"

namespace vemol::ranking::testing {
namespace {

class RankingAdmin : public BackendTest {
protected:
    // Runs `vemol-ranking COMMAND --db LOCATION ARGUMENTS` and gives what it printed.
    std::string Admin(const std::string& arguments, int expectedExit = 0, const char* command = "admin") {
        std::string line = std::string(VEMOL_RANKING_BINARY) + " " + command + " --db '" + location + "' " + arguments;
        FILE* pipe = popen((line + " 2>&1").c_str(), "r");
        std::string output;
        char buffer[4096];
        while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
        int status = pclose(pipe);
        EXPECT_EQ(WEXITSTATUS(status), expectedExit) << line << "\n" << output;
        return output;
    }
    // The id `admin list` shows for the entry with this score.
    std::string IdOf(int score) {
        std::smatch found;
        std::string list = Admin("list");
        EXPECT_TRUE(std::regex_search(list, found, std::regex("\n(\\d+)\t[^\n]*\t" + std::to_string(score) + "\t")))
            << list;
        return found[1];
    }
    std::string Json() { return Get(port, kRankingJsonPath); }
};

TEST_P(RankingAdmin, HideBanAndPurgeShowAtOnceAndAreAudited) {
    StartServer();
    ASSERT_EQ(Send(port, GameRequest(300, "Cheat", "http://", "honest")).status, 200);
    ASSERT_EQ(Send(port, GameRequest(99999, "Cheat"), "127.0.0.2").status, 200);
    ASSERT_EQ(Send(port, GameRequest(500, "Fair")).status, 200);
    EXPECT_NE(Json().find(R"("score":99999,"name":"Cheat")"), std::string::npos);

    // Hidden, the cheated score leaves the page and the name falls back to its best
    // visible entry; shown again, it returns.
    std::string cheated = IdOf(99999);
    EXPECT_NE(Admin("hide " + cheated).find("1 of 1"), std::string::npos);
    EXPECT_NE(
        Json().find(R"("score":300,"name":"Cheat","homePage":"http://","homePageIsLink":false,"comment":"honest")"),
        std::string::npos)
        << Json();
    EXPECT_EQ(Json().find("99999"), std::string::npos);
    EXPECT_NE(Admin("list --name Cheat").find(cheated + "\t"), std::string::npos);

    // Later posts from a banned address or name are refused; others still stored.
    Admin("ban address 127.0.0.2");
    Admin("ban name Fair");
    Admin("ban address 10.0.0.0/8", 2);
    EXPECT_EQ(Send(port, GameRequest(700, "Other"), "127.0.0.2").status, 403);
    EXPECT_EQ(Send(port, GameRequest(800, "Fair")).status, 403);
    EXPECT_EQ(Send(port, GameRequest(600, "Late")).status, 200);
    EXPECT_NE(Admin("bans").find("address\t127.0.0.2\t"), std::string::npos);
    Admin("unban name Fair");
    EXPECT_EQ(Send(port, GameRequest(800, "Fair")).status, 200);

    // A purge of the last minute from 127.0.0.1 empties the page, and unhide undoes it.
    std::string since = "@" + std::to_string(std::time(nullptr) - 60);
    std::string purged = Admin("purge --since " + since + " --address 127.0.0.1");
    EXPECT_NE(purged.find("4 entries hidden"), std::string::npos) << purged;
    EXPECT_EQ(Json(), "{\"ranking\":[]}\n");
    Admin("unhide " + purged.substr(purged.rfind(' ') + 1));
    EXPECT_NE(Json().find(R"("score":800,"name":"Fair")"), std::string::npos);
    EXPECT_EQ(store->TopScores(100).size(), 3u);

    std::string log = Admin("log");
    for (const std::string& action : std::vector<std::string>{"hide " + cheated, "ban address 127.0.0.2",
                                                              "unban name Fair", "purge --since " + since})
        EXPECT_NE(log.find(action), std::string::npos) << action << " not in\n" << log;
}

// Taken during a burst of posts, the backup restores (copied in place of the database)
// to a sound ranking holding every score answered 200 before it began.
TEST_P(RankingAdmin, BackupDuringABurstRestoresEveryScoreAnsweredBefore) {
    std::string copy = ::testing::TempDir() + "vemol-backup-" + std::to_string(getpid()) + ".db";
    if (GetParam() == "postgresql") {
        EXPECT_NE(Admin(copy, 1, "backup").find("pg_dump"), std::string::npos);
        return;
    }
    StartServer();
    std::mutex mutex;
    std::set<std::string> answered;
    std::atomic<bool> running = true;
    std::vector<std::thread> senders;
    for (int sender = 0; sender < 4; ++sender) {
        senders.emplace_back([&, sender] {
            for (int i = 0; running; ++i) {
                std::string name = std::to_string(sender) + "-" + std::to_string(i);
                if (Send(port, GameRequest(i, name)).status != 200) continue;
                std::lock_guard lock(mutex);
                answered.insert(name);
            }
        });
    }
    auto answeredNow = [&] {
        std::lock_guard lock(mutex);
        return answered;
    };
    while (answeredNow().size() < 200) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::set<std::string> before = answeredNow();
    Admin(copy, 0, "backup");
    std::size_t during = answeredNow().size() - before.size();
    running = false;
    for (std::thread& sender : senders) sender.join();
    EXPECT_GT(during, 0u) << "no post was answered while the backup ran";

    location = "sqlite:" + ::testing::TempDir() + "vemol-restored-" + std::to_string(getpid()) + ".db";
    std::filesystem::rename(copy, location.substr(7));
    EXPECT_NE(Admin("list --limit 1", 0).find("id\t"), std::string::npos);
    std::unique_ptr<ScoreStore> restored = OpenScoreStore(location);
    EntryFilter all;
    all.limit = 1'000'000;
    std::set<std::string> names;
    for (const Entry& entry : restored->ListEntries(all)) names.insert(entry.score.name);
    for (const std::string& name : before) EXPECT_TRUE(names.count(name)) << name << " answered 200 but not restored";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(location.substr(7).c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
    restored.reset();
    std::filesystem::remove(location.substr(7));
}

INSTANTIATE_TEST_SUITE_P(Backends, RankingAdmin, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vemol::ranking::testing
