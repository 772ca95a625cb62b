// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A PostgreSQL 15 server of our own for one test run: a fresh cluster in a temporary
// directory, run as an unprivileged user, listening on a free port of 127.0.0.1 only,
// stopped and removed when the object goes.
#include <memory>
#include <string>

namespace vemol::ranking::testing {

class ScratchPostgres {
public:
    // Nothing, and the reason in `whyNot`, when PostgreSQL 15 is missing or does not
    // start. `durable` keeps the server's disk syncs on (benchmarks); tests skip them.
    static std::unique_ptr<ScratchPostgres> Start(std::string& whyNot, bool durable = false);
    ~ScratchPostgres();
    ScratchPostgres(const ScratchPostgres&) = delete;
    ScratchPostgres& operator=(const ScratchPostgres&) = delete;

    // Creates an empty database and returns its connection address.
    std::string CreateDatabase();
    // Stops (SIGSTOP) or resumes every process of the server: it keeps its connections
    // open and answers nothing.
    void Freeze(bool frozen);

private:
    ScratchPostgres(std::string directory, int port) : directory_(std::move(directory)), port_(port) {}
    std::string Address(const std::string& database) const;

    std::string directory_;
    int port_;
    int databases_ = 0;
};

}  // namespace vemol::ranking::testing
