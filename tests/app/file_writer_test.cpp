// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The writer thread of the game's files: saves in the order handed over, the frame never
// waiting for the disk, failures handed back once, pending saves finished at exit.
#include "app/file_writer.h"
#include "app/game_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "game/best_score_file.h"

namespace vemol::app {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class FileWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "vemol_writer_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    FileSave Best(const std::string& path, std::int32_t score) {
        return {path, [path, score](std::string* problem) { return WriteBestScore(path, score, problem); }};
    }
    FileSave Replay(const std::string& path, std::vector<std::uint8_t> bytes) {
        return {path, [path, bytes](std::string* problem) {
                    return WriteFileAtomically(path, bytes, "the replay", problem);
                }};
    }
    static std::vector<std::uint8_t> Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string dir;
};

TEST_F(FileWriterTest, SavesInOrderWithoutHoldingTheCallerAndFinishesEverythingAtExit) {
    const std::string best = dir + "/vemol.dat", replay = dir + "/best.vemolreplay";
    std::promise<void> release;
    std::future<void> released = release.get_future();
    bool waitedForTheCaller = false;
    {
        FileWriter writer;
        // The first save holds the writer until the caller, who handed it over, goes on.
        writer.save({{"held", [&](std::string*) {
                          waitedForTheCaller = released.wait_for(10s) == std::future_status::ready;
                          return true;
                      }}});
        for (std::int32_t score = 1; score <= 100; ++score)
            writer.save({Best(best, score), Replay(replay, std::vector<std::uint8_t>(score, std::uint8_t(score)))});
        release.set_value();
        // Leaving the scope ends the writer with most saves still pending.
    }
    EXPECT_TRUE(waitedForTheCaller);
    EXPECT_EQ(ReadBestScore(best), 100);
    EXPECT_EQ(Contents(replay), std::vector<std::uint8_t>(100, 100));
    // Every save replaced its file whole: no temporary is left beside them.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

// The game's own files: a vemol.dat that cannot be replaced (a folder in its place) is
// reported once, and the best game's replay, which belongs to it, is not saved.
TEST_F(FileWriterTest, AFailureComesBackOnceAndStopsTheFilesThatDependOnIt) {
    const std::string best = dir + "/vemol.dat";
    fs::create_directory(best);
    GameFiles files(best);
    EXPECT_EQ(files.lastReplayPath(), dir + "/last.vemolreplay");
    ::testing::internal::CaptureStderr();
    files.gameEnded(70, std::vector<std::uint8_t>{4, 5});
    std::vector<SaveFailure> failures;
    for (int wait = 0; wait < 1000 && failures.empty(); ++wait) {
        failures = files.takeFailures();
        std::this_thread::sleep_for(10ms);
    }
    for (int wait = 0; wait < 1000 && !fs::exists(files.lastReplayPath()); ++wait) std::this_thread::sleep_for(10ms);
    const std::string said = ::testing::internal::GetCapturedStderr();

    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].path, best);
    EXPECT_NE(said.find("(" + failures[0].problem + ")"), std::string::npos) << said;
    EXPECT_TRUE(files.takeFailures().empty());
    EXPECT_FALSE(fs::exists(files.bestReplayPath()));
    EXPECT_EQ(Contents(files.lastReplayPath()), (std::vector<std::uint8_t>{4, 5}));
}

}  // namespace
}  // namespace vemol::app
