// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "scratch_postgres.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <pqxx/pqxx>

namespace vemol::ranking::testing {
namespace {

constexpr const char* kBin = "/usr/lib/postgresql/15/bin";
constexpr uid_t kNobody = 65534;

// A port of 127.0.0.1 that nothing listens on right now.
int FreePort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

// PostgreSQL refuses to run as root: as root, commands run as nobody.
std::string AsServerUser(const std::string& command) {
    if (geteuid() != 0) return command;
    return "setpriv --reuid=65534 --regid=65534 --clear-groups -- " + command;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace

std::unique_ptr<ScratchPostgres> ScratchPostgres::Start(std::string& whyNot, bool durable) {
    const std::string bin = kBin;
    if (access((bin + "/initdb").c_str(), X_OK) != 0) {
        whyNot = "PostgreSQL 15 is not installed (" + bin + "/initdb missing; Debian package postgresql)";
        return nullptr;
    }
    char pattern[] = "/tmp/vemol-postgres-XXXXXX";
    if (!mkdtemp(pattern)) {
        whyNot = "cannot make a temporary directory";
        return nullptr;
    }
    std::string directory = pattern;
    if (geteuid() == 0 && chown(directory.c_str(), kNobody, kNobody) != 0) {
        whyNot = "cannot hand " + directory + " to the user nobody";
        std::filesystem::remove_all(directory);
        return nullptr;
    }
    int port = FreePort();
    std::string quiet = " >>" + directory + "/setup.log 2>&1";
    std::string settings = "-c listen_addresses=127.0.0.1 -p " + std::to_string(port) + " -k " + directory +
                           (durable ? "" : " -c fsync=off -c synchronous_commit=off");
    bool started = Run(AsServerUser(bin + "/initdb --no-sync -A trust -U postgres -E UTF8 --no-locale -D " + directory +
                                    "/data" + quiet)) &&
                   Run(AsServerUser(bin + "/pg_ctl -w -t 60 -D " + directory + "/data -l " + directory +
                                    "/server.log -o '" + settings + "' start" + quiet));
    // From here on the destructor stops whatever did start and removes the directory.
    std::unique_ptr<ScratchPostgres> server(new ScratchPostgres(directory, port));
    if (!started) {
        std::ifstream log(directory + "/setup.log");
        std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
        whyNot = "PostgreSQL 15 did not start: " + text.substr(text.size() > 800 ? text.size() - 800 : 0);
        return nullptr;
    }
    return server;
}

ScratchPostgres::~ScratchPostgres() {
    Run(AsServerUser(std::string(kBin) + "/pg_ctl -w -t 30 -m fast -D " + directory_ + "/data stop >/dev/null 2>&1"));
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

std::string ScratchPostgres::Address(const std::string& database) const {
    return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + database;
}

std::string ScratchPostgres::CreateDatabase() {
    std::string name = "ranking_" + std::to_string(++databases_);
    pqxx::connection connection(Address("postgres"));
    pqxx::nontransaction(connection).exec("CREATE DATABASE " + name);
    return Address(name);
}

}  // namespace vemol::ranking::testing

namespace vemol::ranking::testing {

void ScratchPostgres::Freeze(bool frozen) {
    std::ifstream pidFile(directory_ + "/data/postmaster.pid");
    std::string postmaster;
    std::getline(pidFile, postmaster);
    int signal = frozen ? SIGSTOP : SIGCONT;
    kill(std::atoi(postmaster.c_str()), signal);
    // Its children: every process whose parent is the postmaster.
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string pid, name, state, parent;
        if (stat >> pid >> name >> state >> parent && parent == postmaster) kill(std::atoi(pid.c_str()), signal);
    }
}

}  // namespace vemol::ranking::testing
