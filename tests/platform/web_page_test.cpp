// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Opening web pages: the rules of net/ through the GLib system of platform/, with stand-in
// browsers on a PATH of their own that record how they were started.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "net/web_page.h"
#include "platform/web_browser_start.h"

namespace vemol::net {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kRankingPage = std::string("http://") + TEST_RANKING_HOST + "/home/kanoreti/ranking.html";

// A scratch desktop: its own PATH (the process's, for GLib's search), HOME and XDG
// folders, stand-in programs, and a record of the pauses instead of real ones.
class ScratchDesktop : public platform::GlibWebPageSystem {
public:
    ScratchDesktop() {
        char pattern[] = "/tmp/vemol-web-XXXXXX";
        root = mkdtemp(pattern);
        fs::create_directories(root / "bin");
        if (const char* path = std::getenv("PATH")) savedPath = path;
        setenv("PATH", (root / "bin").c_str(), 1);
        env = {{"HOME", root.string()},
               {"XDG_CONFIG_DIRS", (root / "etc").string()},
               {"XDG_DATA_DIRS", (root / "share").string()}};
    }
    ~ScratchDesktop() override {
        setenv("PATH", savedPath.c_str(), 1);
        fs::remove_all(root);
    }

    std::optional<std::string> environment(const char* name) override {
        auto found = env.find(name);
        return found == env.end() ? std::nullopt : std::optional(found->second);
    }
    void pause(std::chrono::milliseconds duration) override { pauses.push_back(duration); }

    // A program that writes its name and arguments, one a line, to `record`.
    std::string addBrowser(const std::string& name) {
        fs::path program = root / "bin" / name;
        std::ofstream(program) << "#!/bin/sh\nPATH=/usr/bin:/bin\n"
                               << "printf '%s\\n' \"$(basename \"$0\")\" \"$@\" > \"" << root.string()
                               << "/record.tmp.$$\"\n"
                               << "mv \"" << root.string() << "/record.tmp.$$\" \"" << root.string() << "/record\"\n";
        fs::permissions(program, fs::perms::owner_all);
        return program.string();
    }
    void setDefaultBrowser(const std::string& desktopId) {
        fs::create_directories(root / ".config");
        std::ofstream(root / ".config" / "mimeapps.list")
            << "[Added Associations]\nx-scheme-handler/http=other.desktop;\n"
            << "[Default Applications]\ntext/html=other.desktop\nx-scheme-handler/http=" << desktopId << ";\n";
    }
    // Waits for a stand-in browser to have run; its name and arguments.
    std::vector<std::string> takeRecord() {
        fs::path record = root / "record";
        for (int i = 0; i < 500 && !fs::exists(record); ++i) std::this_thread::sleep_for(10ms);
        std::vector<std::string> lines;
        std::ifstream in(record);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        fs::remove(record);
        return lines;
    }

    fs::path root;
    std::string savedPath;
    std::map<std::string, std::string> env;
    std::vector<std::chrono::milliseconds> pauses;
};

using Args = std::vector<std::string>;

TEST(WebPage, RankingPageInAChromiumWindowAtTheTopLeft) {
    ScratchDesktop desktop;
    desktop.env["BROWSER"] = desktop.addBrowser("chromium");
    std::int32_t openHomePage = 0;
    WebPageResult result = OpenWebPage(openHomePage, BuiltInRankingServer(), desktop);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.address, kRankingPage);
    EXPECT_EQ(desktop.takeRecord(),
              (Args{"chromium", "--new-window", "--window-position=0,0", "--window-size=800,600", kRankingPage}));
    EXPECT_EQ(desktop.pauses, std::vector{500ms});
    // The browser runs on by itself: nothing of it is left for the game to reap.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(WebPage, KrmHomeThenRankingPage) {
    ScratchDesktop desktop;
    desktop.env["BROWSER"] = desktop.addBrowser("firefox");
    std::int32_t openHomePage = 1;
    EXPECT_EQ(OpenWebPage(openHomePage, BuiltInRankingServer(), desktop).address, TEST_HOME_PAGE_ADDRESS);
    EXPECT_EQ(openHomePage, 0);
    EXPECT_EQ(desktop.takeRecord(),
              (Args{"firefox", "-width", "800", "-height", "600", "-new-window", TEST_HOME_PAGE_ADDRESS}));
    // The ranking page is on the server chosen at run time, at its port.
    const std::string page = "http://scores.example.org:8080/home/kanoreti/ranking.html";
    EXPECT_EQ(OpenWebPage(openHomePage, {"scores.example.org", 8080}, desktop).address, page);
    EXPECT_EQ(desktop.takeRecord().back(), page);
    EXPECT_EQ(desktop.pauses, (std::vector{500ms, 500ms}));
}

TEST(WebPage, BrowserThatCannotStartIsReported) {
    ScratchDesktop desktop;
    std::string broken = (desktop.root / "bin" / "firefox").string();
    std::ofstream(broken) << "#!/no/such/interpreter\n";
    fs::permissions(broken, fs::perms::owner_all);
    desktop.env["BROWSER"] = broken;
    std::int32_t openHomePage = 1;
    WebPageResult result = OpenWebPage(openHomePage, BuiltInRankingServer(), desktop);
    EXPECT_FALSE(result.opened);
    EXPECT_NE(result.message.find(TEST_HOME_PAGE_ADDRESS), std::string::npos);
    EXPECT_EQ(openHomePage, 0);  // the next "Ranking Page" still opens the ranking page
    EXPECT_TRUE(desktop.pauses.empty());

    desktop.env.erase("BROWSER");
    result = OpenWebPage(openHomePage, BuiltInRankingServer(), desktop);  // an empty PATH: no browser at all
    EXPECT_FALSE(result.opened);
    EXPECT_FALSE(result.message.empty());
}

TEST(WebPage, BrowserSearchOrder) {
    ScratchDesktop desktop;
    auto programOf = [&] {
        auto command = FindBrowserCommand(desktop, "http://a/");
        return command ? fs::path(command->argv.front()).filename().string() : std::string("none");
    };
    EXPECT_EQ(programOf(), "none");
    desktop.addBrowser("xdg-open");
    EXPECT_EQ(FindBrowserCommand(desktop, "http://a/")->argv.size(), 2u);
    EXPECT_EQ(programOf(), "xdg-open");
    desktop.addBrowser("google-chrome");
    desktop.addBrowser("firefox");
    EXPECT_EQ(programOf(), "firefox");  // well-known browsers in their order
    desktop.setDefaultBrowser("com.google.Chrome.desktop");
    EXPECT_EQ(programOf(), "firefox");  // a desktop id naming no program is passed over
    desktop.setDefaultBrowser("google-chrome.desktop");
    EXPECT_EQ(programOf(), "google-chrome");
    EXPECT_EQ(FindBrowserCommand(desktop, "http://a/")->family, BrowserFamily::Chromium);

    desktop.env["BROWSER"] = "no-such-browser:" + desktop.addBrowser("mybrowser") + " --private %s";
    EXPECT_EQ(FindBrowserCommand(desktop, "http://a/")->argv,
              (Args{(desktop.root / "bin" / "mybrowser").string(), "--private", "http://a/"}));
}

}  // namespace
}  // namespace vemol::net
