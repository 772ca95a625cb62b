// The best-score file: 4 little-endian bytes, read leniently, replaced atomically.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

    std::string dir, path;
};

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

}  // namespace
}  // namespace vemol
