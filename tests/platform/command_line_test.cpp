// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line and the ranking server's key files, through the real parser and
// GLib's key-file reader on files in a scratch folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/command_line.h"
#include "platform/ranking_server_choice.h"

namespace vemol::platform {
namespace {

namespace fs = std::filesystem;

CommandLine Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "vemol");
    std::vector<char*> pointers;
    for (std::string& arg : args) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    int argc = static_cast<int>(args.size());
    char** argv = pointers.data();
    return ParseCommandLine(argc, argv);
}

TEST(CommandLine, OptionsMistakesAndExits) {
    EXPECT_EQ(Parse({"--ranking-server", "scores.example.org:8080"}).rankingServer, "scores.example.org:8080");
    EXPECT_EQ(Parse({"--ranking-server=[::1]"}).rankingServer, "[::1]");
    CommandLine plain = Parse({});
    EXPECT_FALSE(plain.rankingServer || plain.exitCode || plain.replayFile);
    // A replay, by the option or named alone as the desktop opens one.
    EXPECT_EQ(Parse({"--replay", "a game.vemolreplay"}).replayFile, "a game.vemolreplay");
    EXPECT_EQ(Parse({"/home/p/best.vemolreplay"}).replayFile, "/home/p/best.vemolreplay");

    testing::internal::CaptureStderr();
    EXPECT_EQ(Parse({"--bogus"}).exitCode, 2);
    EXPECT_EQ(Parse({"one.vemolreplay", "stray"}).exitCode, 2);
    EXPECT_EQ(Parse({"--replay", "one.vemolreplay", "stray"}).exitCode, 2);
    EXPECT_EQ(Parse({"--ranking-server"}).exitCode, 2);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("vemol: Unknown option --bogus\nTry \"vemol --help\" for more information.\n"),
              std::string::npos);
    EXPECT_NE(errors.find("vemol: unexpected argument \"stray\"\n"), std::string::npos);

    testing::internal::CaptureStdout();
    EXPECT_EQ(Parse({"--version"}).exitCode, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "vemol 1.0\n");
    EXPECT_EXIT(Parse({"-h"}), testing::ExitedWithCode(0), "");
}

class KeyFiles : public testing::Test {
protected:
    KeyFiles() : root(fs::temp_directory_path() / ("vemol-keyfiles-" + std::to_string(getpid()))) {
        for (const char* folder : {"home", "site", "distribution"}) fs::create_directories(root / folder / "vemol");
    }
    ~KeyFiles() override { fs::remove_all(root); }

    std::string file(const char* folder) const { return (root / folder / "vemol" / "vemol.conf").string(); }
    void write(const char* folder, const std::string& text) const { std::ofstream(file(folder)) << text; }
    net::RankingServer choose(const std::optional<std::string>& option) {
        errors.str("");
        return ChooseRankingServer(option, {file("home"), file("site"), file("distribution")}, errors);
    }

    fs::path root;
    std::ostringstream errors;
};

TEST_F(KeyFiles, CommandLineThenEachFileInTurnThenTheBuiltInServer) {
    EXPECT_EQ(choose(std::nullopt), net::BuiltInRankingServer());  // no files at all
    EXPECT_EQ(errors.str(), "");

    write("distribution", "[ranking]\nserver=distro.example.org\n");
    write("site", "# the club's server\n[other]\nserver=wrong.example\n\n[ranking]\n  server = club.example:8080\n");
    EXPECT_EQ(choose(std::nullopt), (net::RankingServer{"club.example", 8080}));
    EXPECT_EQ(choose("[::1]:9000"), (net::RankingServer{"[::1]", 9000}));
    EXPECT_EQ(errors.str(), "");

    // A refused value names where it was and the next source counts.
    write("home", "[ranking]\nserver=my server\n");
    EXPECT_EQ(choose("http://x"), (net::RankingServer{"club.example", 8080}));
    EXPECT_EQ(errors.str(),
              "vemol: --ranking-server: \"http://x\" is not a host name, dotted IPv4 address or bracketed IPv6 "
              "address with an optional port 1 to 65535; ignored\n"
              "vemol: " +
                  file("home") +
                  ":2: \"my server\" is not a host name, dotted IPv4 address or bracketed "
                  "IPv6 address with an optional port 1 to 65535; ignored\n");

    // A file GLib cannot read is reported once; one without a [ranking] server is passed over.
    write("home", "server=oops\n");
    write("site", "[ranking]\ncomment=none here\n");
    EXPECT_EQ(choose(std::nullopt), (net::RankingServer{"distro.example.org", std::nullopt}));
    const std::string said = errors.str();
    EXPECT_EQ(said.rfind("vemol: " + file("home") + ": ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}

TEST(KeyFileFolders, XdgFoldersAndTheirDefaults) {
    setenv("HOME", "/home/player", 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_CONFIG_DIRS");
    EXPECT_EQ(RankingKeyFiles(),
              (std::vector<std::string>{"/home/player/.config/vemol/vemol.conf", "/etc/xdg/vemol/vemol.conf"}));
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    setenv("XDG_CONFIG_DIRS", "/a:relative:/b", 1);
    EXPECT_EQ(RankingKeyFiles(),
              (std::vector<std::string>{"/cfg/vemol/vemol.conf", "/a/vemol/vemol.conf", "/b/vemol/vemol.conf"}));
}

}  // namespace
}  // namespace vemol::platform
