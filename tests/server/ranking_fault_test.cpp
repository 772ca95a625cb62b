// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The ranking server against the faults of a public host, one real run each: slow and
// idle clients, a full disk, a PostgreSQL that holds its lock or freezes, two instances
// on one PostgreSQL, --listen values and the requests CivetWeb refuses itself.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <pqxx/pqxx>
#include <thread>
#include <vector>

#include "backend_fixture.h"
#include "ranking_client.h"
#include "scratch_postgres.h"

namespace vemol::ranking::testing {
namespace {

using namespace std::chrono_literals;

std::string TempDirectory() {
    std::string pattern = ::testing::TempDir() + "vemol-ranking-fault-XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

ServerSettings Loopback(int postsPerMinute = 0) {
    ServerSettings settings;
    settings.listen = "127.0.0.1:0";
    settings.postsPerMinute = postsPerMinute;
    return settings;
}

// Connections that send `first` and then hold still.
std::vector<int> Hold(int port, const char* from, int count, std::string_view first) {
    std::vector<int> held;
    for (int i = 0; i < count; ++i) {
        int fd = Connect(port, from);
        if (fd >= 0 && !first.empty()) (void)send(fd, first.data(), first.size(), MSG_NOSIGNAL);
        held.push_back(fd);
    }
    return held;
}

TEST(RankingFaults, SlowAndIdleClientsDoNotShutOthersOut) {
    std::string directory = TempDirectory();
    auto store = OpenScoreStore("sqlite:" + directory + "/ranking.db");
    ServerSettings settings = Loopback();
    settings.threads = 4;  // far fewer than the slow clients
    settings.readTimeLimitSeconds = 3;
    RankingServer server(*store, settings);
    std::string request = GameRequest(1, "normal");

    // One address opens 40 connections: past its 8, each is turned away at once.
    std::vector<int> crowd = Hold(server.port(), "127.0.0.2", 40, request.substr(0, 5));
    int turnedAway = 0;
    for (int fd : crowd) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 200) == 1 && FinishExchange(dup(fd), 1s).status == 503) ++turnedAway;
    }
    EXPECT_EQ(turnedAway, 32);
    // 30 addresses hold 3 trickling connections each, one address holds 5 silent ones.
    std::vector<int> held;
    for (int address = 1; address <= 30; ++address) {
        std::string from = "127.0.1." + std::to_string(address);
        for (int fd : Hold(server.port(), from.c_str(), 3, request.substr(0, 7))) held.push_back(fd);
    }
    std::vector<int> silent = Hold(server.port(), "127.0.0.4", 5, "");

    EXPECT_EQ(Send(server.port(), request, "127.0.0.3", 2s).status, 200);
    EXPECT_NE(Get(server.port(), kRankingPagePath).find("normal"), std::string::npos);
    // Within their time limits both kinds are answered 408 and closed.
    EXPECT_EQ(FinishExchange(held.front(), 6s).status, 408);
    EXPECT_EQ(FinishExchange(silent.front(), 6s).status, 408);
    for (int fd : crowd) close(fd);
    for (std::size_t i = 1; i < held.size(); ++i) close(held[i]);
    for (std::size_t i = 1; i < silent.size(); ++i) close(silent[i]);
    std::filesystem::remove_all(directory);
}

// The disk holding the database fills up: /healthz says so, and says ok again once
// there is room.
TEST(RankingFaults, FullDiskTurnsHealthUnavailable) {
    std::string directory = TempDirectory();
    if (mount("tmpfs", directory.c_str(), "tmpfs", 0, "size=1m") != 0) {
        std::filesystem::remove_all(directory);
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root): " << std::strerror(errno);
    }
    {
        auto store = OpenScoreStore("sqlite:" + directory + "/ranking.db");
        RankingServer server(*store, Loopback());
        EXPECT_EQ(Send(server.port(), GameRequest(5, "before")).status, 200);
        EXPECT_EQ(Send(server.port(), "GET /healthz HTTP/1.0\r\n\r\n").status, 200);
        {
            std::ofstream filler(directory + "/filler");
            std::string block(4096, 'x');
            while (filler.write(block.data(), block.size())) {
            }
        }
        Exchange full = Send(server.port(), "GET /healthz HTTP/1.0\r\n\r\n", "127.0.0.1", 2s);
        EXPECT_EQ(full.status, 503);
        EXPECT_NE(full.response.find("full"), std::string::npos);
        std::filesystem::remove(directory + "/filler");
        EXPECT_EQ(Send(server.port(), "GET /healthz HTTP/1.0\r\n\r\n").status, 200);
        EXPECT_EQ(Send(server.port(), GameRequest(6, "after")).status, 200);
    }
    umount(directory.c_str());
    std::filesystem::remove_all(directory);
}

// A lock held elsewhere, then the whole database frozen: posts are answered within the
// game's 10 s and /healthz within 2 s, and all is well again once it is released.
TEST(RankingFaults, HeldLockAndFrozenDatabaseGetTimelyAnswers_postgresql) {
    std::string whyNot;
    ScratchPostgres* postgres = SharedPostgres(whyNot);
    if (!postgres) GTEST_SKIP() << "PostgreSQL tests skipped: " << whyNot;
    std::string address = postgres->CreateDatabase();
    auto store = OpenScoreStore(address);
    RankingServer server(*store, Loopback());
    auto health = [&] { return Send(server.port(), "GET /healthz HTTP/1.0\r\n\r\n", "127.0.0.1", 2s).status; };
    // A check begun before the release may still give the first answer after it.
    auto healthyAgain = [&] {
        for (int i = 0; i < 5; ++i)
            if (health() == 200) return true;
        return false;
    };
    {
        pqxx::connection holder(address);
        pqxx::work held(holder);
        held.exec("SELECT pg_advisory_xact_lock(7301140252)");
        EXPECT_EQ(Send(server.port(), GameRequest(3, "blocked"), "127.0.0.1", 10s).status, 503);
        EXPECT_EQ(health(), 503);
    }
    EXPECT_TRUE(healthyAgain());
    postgres->Freeze(true);
    EXPECT_EQ(health(), 503);
    EXPECT_EQ(Send(server.port(), GameRequest(4, "frozen"), "127.0.0.1", 10s).status, 503);
    postgres->Freeze(false);
    EXPECT_TRUE(healthyAgain());
    EXPECT_EQ(Send(server.port(), GameRequest(5, "thawed")).status, 200);
}

// vemol-ranking with these arguments, its log in `log`; gives the exit code, or the pid
// of the running server when `log` names it listening.
int Start(std::vector<std::string> arguments, const std::string& log, int& port) {
    std::filesystem::remove(log);
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(VEMOL_RANKING_BINARY)};
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(VEMOL_RANKING_BINARY, argv.data());
        _exit(127);
    }
    for (int i = 0; i < 200; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WEXITSTATUS(status);
        std::ifstream file(log);
        std::string line;
        std::getline(file, line);
        if (std::size_t at = line.find("/ with ");
            at != std::string::npos && line.find("listening on http://") != std::string::npos) {
            port = std::atoi(line.c_str() + line.rfind(':', at) + 1);
            return -pid;
        }
        std::this_thread::sleep_for(50ms);
    }
    return 0;
}

std::string SendOverIpv6(int port, const std::string& request) {
    int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in6 to{};
    to.sin6_family = AF_INET6;
    to.sin6_port = htons(static_cast<std::uint16_t>(port));
    to.sin6_addr = in6addr_loopback;
    if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        close(fd);
        return {};
    }
    (void)send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    return FinishExchange(fd, 5s).response;
}

// An instance of ours frozen (SIGSTOP) in the middle of a write transaction loses it, and
// the write lock with it, within 2 s: the other instance's post is stored, not refused.
TEST(RankingFaults, InstanceFrozenHoldingTheWriteLockReleasesIt_postgresql) {
    std::string whyNot;
    ScratchPostgres* postgres = SharedPostgres(whyNot);
    if (!postgres) GTEST_SKIP() << "PostgreSQL tests skipped: " << whyNot;
    std::string address = postgres->CreateDatabase(), directory = TempDirectory();
    int otherPort = 0;
    int started =
        Start({"--listen", "127.0.0.1:0", "--db", address, "--posts-per-minute", "0"}, directory + "/log", otherPort);
    ASSERT_LT(started, 0) << "the other instance did not start";
    auto store = OpenScoreStore(address);
    RankingServer server(*store, Loopback());
    pqxx::connection observer(address);
    auto lockHeld = [&] {
        return pqxx::nontransaction(observer)
                   .exec("SELECT 1 FROM pg_locks WHERE locktype = 'advisory' AND granted")
                   .size() == 1;
    };
    // Keep the other instance writing, and freeze it until it is caught holding the lock.
    std::atomic<bool> sending = true;
    std::vector<std::thread> senders;
    for (int i = 0; i < 6; ++i)
        senders.emplace_back([&, i] {
            for (int n = 0; sending; ++n) Send(otherPort, GameRequest(n, std::to_string(i) + "-" + std::to_string(n)));
        });
    bool caught = false;
    for (int attempt = 0; attempt < 50 && !caught; ++attempt) {
        std::this_thread::sleep_for(20ms);
        kill(-started, SIGSTOP);
        caught = lockHeld();
        if (!caught) kill(-started, SIGCONT);
    }
    sending = false;
    ASSERT_TRUE(caught) << "never caught the other instance holding the write lock";
    EXPECT_EQ(Send(server.port(), GameRequest(7, "while frozen"), "127.0.0.1", 10s).status, 200);
    kill(-started, SIGCONT);
    for (std::thread& sender : senders) sender.join();
    kill(-started, SIGTERM);
    waitpid(-started, nullptr, 0);
    std::filesystem::remove_all(directory);
}

// Six posts a minute from one sender, however many instances share the database and
// whichever addresses of one IPv6 /64 it uses.
TEST(RankingFaults, TwoInstancesShareOneLimitPerSlash64_postgresql) {
    std::string whyNot;
    ScratchPostgres* postgres = SharedPostgres(whyNot);
    if (!postgres) GTEST_SKIP() << "PostgreSQL tests skipped: " << whyNot;
    std::string address = postgres->CreateDatabase();
    auto firstStore = OpenScoreStore(address), secondStore = OpenScoreStore(address);
    ServerSettings settings = Loopback(6);
    settings.behindProxy = true;
    RankingServer first(*firstStore, settings), second(*secondStore, settings);
    int accepted = 0;
    for (int i = 1; i <= 12; ++i) {
        std::string request = GameRequest(i, "neighbour");
        request.insert(request.find('\n') + 1, "X-Real-IP: 2001:db8:1:2::" + std::to_string(i) + "\n");
        accepted += Send((i % 2 ? first : second).port(), request).status == 200;
    }
    EXPECT_EQ(accepted, 6);
}

TEST(RankingFaults, ListenTakesOnlyRealAddressesAndEveryRefusalIsLogged) {
    std::string directory = TempDirectory();
    std::string log = directory + "/log", database = "sqlite:" + directory + "/ranking.db";
    int port = 0;
    for (const char* wrong : {"256.0.0.0:21400", "999.1.1.1:21400", "127.0.0.1:65536", "127.0.0.1:", "[::1]",
                              "localhost:80", "0x7f.1:80", "[::g]:80", "127.0.0.1:-1"})
        EXPECT_EQ(Start({"--listen", wrong, "--db", database}, log, port), 2) << wrong;

    int started = Start({"--listen", "[::1]:0", "--db", database}, log, port);
    ASSERT_LT(started, 0) << "the server did not start on [::1]";
    std::string script = "/home/kanoreti/cgi-bin/cgi3/veranking.cgi";
    EXPECT_EQ(SendOverIpv6(port, "TRACE / HTTP/1.1\r\n\r\n").substr(0, 12), "HTTP/1.1 400");
    SendOverIpv6(port, "GET / HTTP/2.0\r\n\r\n");
    SendOverIpv6(port, "GET /" + std::string(17 * 1024, 'a') + " HTTP/1.0\r\n\r\n");
    SendOverIpv6(port, "POST " + script + " HTTP/1.0\nContent-length:-1\n\n");
    // A look-alike name is refused; a name spelt with a combining accent shares the row of
    // the same name written with the accented letter.
    // CivetWeb answers in the request's version: the game's HTTP/1.0.
    EXPECT_EQ(SendOverIpv6(port, RawScoreRequest("score=1&name=ab%E2%80%AEc&url=&comm=")).substr(0, 12),
              "HTTP/1.0 400");
    SendOverIpv6(port, RawScoreRequest("score=2&name=Ren%C3%A9&url=&comm="));
    SendOverIpv6(port, RawScoreRequest("score=3&name=Rene%CC%81&url=&comm="));
    std::string page = SendOverIpv6(port, "GET /api/ranking.json HTTP/1.0\r\n\r\n");
    kill(-started, SIGTERM);
    waitpid(-started, nullptr, 0);

    std::ifstream file(log);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    for (const std::string& line : std::vector<std::string>{" ::1 TRACE / 400 ", " ::1 GET / 505 ", " ::1 - - 400 ",
                                                            " ::1 POST " + script + " 411 ", "direction-changing"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " missing from the log:\n" << text;
    EXPECT_NE(page.find("\"score\":3"), std::string::npos) << page;
    EXPECT_EQ(page.find("\"score\":2"), std::string::npos) << page;
    std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace vemol::ranking::testing
