// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The vemol-ranking program started on a free port of 127.0.0.1 with its log in a file,
// posts unlimited; killed with SIGKILL when dropped unless stopped first.
#include <sys/types.h>

#include <string>

namespace vemol::ranking::testing {

class ServerProcess {
public:
    // `database` as --db takes it; `port` stays 0 when no "listening on" line came.
    ServerProcess(const std::string& binary, const std::string& database, const std::string& log);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    // Sends the signal and gives the wait status.
    int Stop(int signal);

    int port = 0;

private:
    pid_t pid_ = -1;
};

}  // namespace vemol::ranking::testing
