// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The writer thread of the game's files: saves in the order handed over, the frame never
// waiting for the disk, failures handed back once, pending saves finished at exit.
#include "app/file_writer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

#include "app/game_files.h"
#include "game/best_score_file.h"

namespace vemol::app {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class FileWriterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(::mkdtemp(dir.data()), nullptr); }
    void TearDown() override { fs::remove_all(dir); }
    std::string dir = ::testing::TempDir() + "vemol_writer_XXXXXX";
};

TEST_F(FileWriterTest, SavesInOrderWithoutHoldingTheCallerAndFinishesEverythingAtExit) {
    const std::string best = dir + "/vemol.dat";
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    bool waitedForTheCaller = false;
    {
        FileWriter writer;
        // The first save holds the writer until the caller, who handed it over, goes on.
        writer.save({{"held", [&](std::string*) {
                          waitedForTheCaller = released.wait_for(10s) == std::future_status::ready;
                          return true;
                      }}});
        for (std::int32_t score = 1; score <= 100; ++score)
            writer.save({{best, [best, score](std::string* problem) { return WriteBestScore(best, score, problem); }}});
        release.set_value();
    }  // the writer ends with most saves still pending
    EXPECT_TRUE(waitedForTheCaller);
    EXPECT_EQ(ReadBestScore(best), 100);
    // Every save replaced the file whole: no temporary is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// The game's own files: a vemol.dat that cannot be replaced (a folder in its place) is
// reported once, and the best game's replay, which belongs to it, is not saved.
TEST_F(FileWriterTest, AFailureComesBackOnceAndStopsTheFilesThatDependOnIt) {
    const std::string best = dir + "/vemol.dat";
    fs::create_directory(best);
    GameFiles files(best);
    ASSERT_EQ(files.lastReplayPath(), dir + "/last.vemolreplay");
    ::testing::internal::CaptureStderr();
    files.gameEnded(70, std::vector<std::uint8_t>{4, 5});
    std::vector<SaveFailure> failures;
    for (int wait = 0; wait < 1000 && (failures.empty() || !fs::exists(files.lastReplayPath())); ++wait) {
        if (failures.empty()) failures = files.takeFailures();
        std::this_thread::sleep_for(10ms);
    }
    const std::string said = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].path, best);
    EXPECT_NE(said.find("(" + failures[0].problem + ")"), std::string::npos) << said;
    EXPECT_TRUE(files.takeFailures().empty());
    EXPECT_FALSE(fs::exists(files.bestReplayPath()));
    std::ifstream last(files.lastReplayPath(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(last), {}), "\x04\x05");
}

}  // namespace
}  // namespace vemol::app
