// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace vemol::ranking::testing {

ServerProcess::ServerProcess(const std::string& binary, const std::string& database, const std::string& log) {
    std::filesystem::remove(log);
    pid_ = fork();
    if (pid_ == 0) {
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDERR_FILENO);
        execl(binary.c_str(), binary.c_str(), "--listen", "127.0.0.1:0", "--db", database.c_str(), "--posts-per-minute",
              "0", nullptr);
        _exit(127);
    }
    // The log's "listening on" line names the port.
    const std::string listening = "listening on http://127.0.0.1:";
    for (int i = 0; i < 400 && port == 0; ++i) {
        std::ifstream file(log);
        std::string line;
        std::getline(file, line);
        if (std::size_t at = line.find(listening); at != std::string::npos)
            port = std::atoi(line.c_str() + at + listening.size());
        if (port == 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) Stop(SIGKILL);
}

int ServerProcess::Stop(int signal) {
    kill(pid_, signal);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
}

}  // namespace vemol::ranking::testing
