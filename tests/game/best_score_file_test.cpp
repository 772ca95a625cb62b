// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The best-score file: 4 little-endian bytes, read leniently and without blocking,
// replaced atomically, never lost.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "game/best_score_file.h"

namespace vemol {
namespace {

namespace fs = std::filesystem;

class BestScoreFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "vemol_best_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        path = dir + "/vemol.dat";
    }
    void TearDown() override { fs::remove_all(dir); }

    void WriteBytes(const std::vector<unsigned char>& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<unsigned char> Bytes(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
        return names;
    }

    mode_t Mode(const std::string& file) const {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_mode & 07777;
    }

    std::string dir, path;
};

// How a save run in a child process ended, and what it said on standard error.
struct ChildRun {
    int exitCode = -1;  // 0 the body returned true, 1 false, 2 the rights could not be dropped
    std::string errors;
};

constexpr uid_t kNobody = 65534;

// Runs `body` in a child process: as a user without root's rights when `unprivileged`
// (nobody, when the tests run as root), and with files limited to `fileSizeLimit` bytes,
// which makes a write fail as on a full disk.
ChildRun RunInChild(const std::function<bool()>& body, bool unprivileged, rlim_t fileSizeLimit = RLIM_INFINITY) {
    int errors[2];
    if (::pipe(errors) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(errors[1], STDERR_FILENO);
        ::close(errors[0]);
        if (unprivileged && ::getuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(2);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(body() ? 0 : 1);
    }
    ::close(errors[1]);
    ChildRun run;
    char buffer[512];
    for (ssize_t n; (n = ::read(errors[0], buffer, sizeof buffer)) > 0;) run.errors.append(buffer, n);
    ::close(errors[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    return run;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST_F(BestScoreFileTest, ReadsMissingShortLongAndNegativeFiles) {
    EXPECT_EQ(ReadBestScore(path), 0);
    WriteBytes({0x39, 0x30, 0x00, 0x00});
    EXPECT_EQ(ReadBestScore(path), 12345);
    WriteBytes({0x34, 0x12});  // the low-order bytes only
    EXPECT_EQ(ReadBestScore(path), 0x1234);
    WriteBytes({0x78, 0x56, 0x34, 0x12, 0xAA, 0xBB});  // only the first four count
    EXPECT_EQ(ReadBestScore(path), 0x12345678);
    WriteBytes({0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(ReadBestScore(path), -1);
    WriteBytes({});
    EXPECT_EQ(ReadBestScore(path), 0);
}

TEST_F(BestScoreFileTest, WritesExactlyFourLittleEndianBytesAndNothingElse) {
    ASSERT_TRUE(WriteBestScore(path, 0x01020304));
    EXPECT_EQ(Bytes(path), (std::vector<unsigned char>{0x04, 0x03, 0x02, 0x01}));
    ASSERT_TRUE(WriteBestScore(path, 2350));  // over an existing file
    EXPECT_EQ(Bytes(path), (std::vector<unsigned char>{0x2E, 0x09, 0x00, 0x00}));
    EXPECT_EQ(ReadBestScore(path), 2350);
    EXPECT_EQ(Names(), std::vector<std::string>{"vemol.dat"});  // no temporary left behind
}

TEST_F(BestScoreFileTest, TheOldBestSurvivesAnInterruptedSave) {
    ASSERT_TRUE(WriteBestScore(path, 900));
    // The new bytes are written but the program dies before the rename.
    const std::string temporary = WriteBestScoreTemporary(path, 1500);
    ASSERT_FALSE(temporary.empty());
    EXPECT_EQ(ReadBestScore(path), 900);
    EXPECT_EQ(fs::path(temporary).parent_path(), fs::path(path).parent_path());
    EXPECT_EQ(ReadBestScore(temporary), 1500);
    // Picking up from there finishes the job.
    ASSERT_TRUE(ReplaceBestScoreFile(temporary, path));
    EXPECT_EQ(ReadBestScore(path), 1500);
    EXPECT_EQ(Names(), std::vector<std::string>{"vemol.dat"});
}

TEST_F(BestScoreFileTest, AFailedSaveIsReportedAndLeavesNoDebris) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteBestScore(dir + "/missing/vemol.dat", 100));
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("best score"), std::string::npos) << message;

    // A rename that cannot happen (a directory stands where the file should be) keeps
    // the directory and removes the temporary.
    fs::create_directories(path + "/in-the-way");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteBestScore(path, 100));
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(Names(), std::vector<std::string>{"vemol.dat"});
}

TEST_F(BestScoreFileTest, OnlyARegularFileIsReadAndNothingBlocks) {
    ::alarm(20);  // a read that blocks on the FIFO ends the test instead of hanging it
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    ::testing::internal::CaptureStderr();
    BestScoreReading fifo = ReadBestScoreFile(path);
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(fifo.score, 0);
    EXPECT_FALSE(fifo.keepable);
    EXPECT_EQ(Lines(said), 1) << said;
    EXPECT_NE(said.find("cannot be read or kept"), std::string::npos) << said;

    // Nor is a FIFO replaced by a save, even through a link.
    fs::rename(path, dir + "/pipe");
    fs::create_symlink("pipe", path);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteBestScore(path, 10));
    EXPECT_EQ(Lines(::testing::internal::GetCapturedStderr()), 1);
    EXPECT_TRUE(fs::is_fifo(dir + "/pipe"));
    ::alarm(0);

    fs::remove(path);
    fs::create_directory(path);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(ReadBestScoreFile(path).keepable);
    ::testing::internal::GetCapturedStderr();
    fs::remove(path);
    EXPECT_TRUE(ReadBestScoreFile(path).keepable);  // missing: nothing to lose
}

TEST_F(BestScoreFileTest, AnUnreadableFileIsNeitherReadNorReplaced) {
    WriteBytes({0x10, 0x27, 0x00, 0x00});  // 10000
    fs::permissions(dir, fs::perms::all);
    fs::permissions(path, fs::perms::owner_write | fs::perms::others_write);
    ChildRun run = RunInChild(
        [&] {
            BestScoreReading reading = ReadBestScoreFile(path);
            return reading.score == 0 && !reading.keepable && !WriteBestScore(path, 500);
        },
        true);
    if (run.exitCode == 2) GTEST_SKIP() << "cannot run as a user without root's rights";
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(Lines(run.errors), 2) << run.errors;  // one for the reading, one for the refusal
    EXPECT_EQ(Bytes(path), (std::vector<unsigned char>{0x10, 0x27, 0x00, 0x00}));
}

TEST_F(BestScoreFileTest, AReadOnlyDirectoryGetsTheFileRewrittenInPlace) {
    WriteBytes({0x01, 0x00, 0x00, 0x00, 0xEE});
    fs::permissions(path,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read | fs::perms::others_write);
    fs::permissions(dir, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    struct stat info {};
    ::stat(path.c_str(), &info);
    const ino_t before = info.st_ino;
    ChildRun run = RunInChild([&] { return WriteBestScore(path, 4321); }, true);
    if (run.exitCode == 2) GTEST_SKIP() << "cannot run as a user without root's rights";
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(ReadBestScore(path), 4321);
    EXPECT_EQ(Bytes(path).size(), 4u);
    ::stat(path.c_str(), &info);
    EXPECT_EQ(info.st_ino, before);
}

TEST_F(BestScoreFileTest, ALinkIsSavedThroughAndTheModesAreKept) {
    fs::create_directory(dir + "/real");
    fs::create_symlink("real/best", path);  // dangling: the first save creates the target
    const mode_t umaskBefore = ::umask(027);
    ASSERT_TRUE(WriteBestScore(path, 70));
    ::umask(umaskBefore);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(ReadBestScore(dir + "/real/best"), 70);
    EXPECT_EQ(Mode(dir + "/real/best"), 0640u);  // 0666 less the umask

    ::chmod((dir + "/real/best").c_str(), 0604);
    ASSERT_TRUE(WriteBestScore(path, 80));
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(ReadBestScore(path), 80);
    EXPECT_EQ(Mode(dir + "/real/best"), 0604u);
    EXPECT_EQ(fs::directory_iterator(dir + "/real")->path().filename(), "best");
}

TEST_F(BestScoreFileTest, AFullDiskKeepsTheOldBestAndSaysSoOnce) {
    WriteBytes({0x84, 0x03, 0x00, 0x00});  // 900
    // Files limited to 2 bytes: the 4-byte write fails halfway, as on a full disk.
    ChildRun run = RunInChild([&] { return WriteBestScore(path, 1500); }, false, 2);
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_EQ(Lines(run.errors), 1) << run.errors;
    EXPECT_EQ(Bytes(path), (std::vector<unsigned char>{0x84, 0x03, 0x00, 0x00}));
    EXPECT_EQ(Names(), std::vector<std::string>{"vemol.dat"});
}

TEST_F(BestScoreFileTest, TwoGamesSavingAtOnceAlwaysLeaveOneWholeValue) {
    const std::int32_t first = 0x11111111, second = 0x22222222;
    ASSERT_TRUE(WriteBestScore(path, first));
    std::vector<pid_t> games;
    for (std::int32_t value : {first, second}) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (int i = 0; i < 300; ++i)
                if (!WriteBestScore(path, value)) ::_exit(1);
            ::_exit(0);
        }
        games.push_back(child);
    }
    int torn = 0, finished = 0, statuses[2] = {-1, -1};
    while (finished < 2) {
        const std::vector<unsigned char> bytes = Bytes(path);
        const std::int32_t value = ReadBestScore(path);
        if (bytes.size() != 4 || (value != first && value != second)) ++torn;
        for (int k = 0; k < 2; ++k)
            if (statuses[k] < 0 && ::waitpid(games[k], &statuses[k], WNOHANG) > 0) ++finished;
    }
    for (int status : statuses) EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(torn, 0);
    const std::int32_t last = ReadBestScore(path);
    EXPECT_TRUE(last == first || last == second) << last;
    EXPECT_EQ(Names(), std::vector<std::string>{"vemol.dat"});
}

}  // namespace
}  // namespace vemol
