// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a suite once per database: "sqlite" (a file in a fresh directory) and
// "postgresql" (a fresh database on a scratch PostgreSQL 15 shared by the whole run;
// skipped with the reason when it cannot start).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "server/ranking_server.h"
#include "server/score_store.h"

namespace vemol::ranking::testing {

class ScratchPostgres;
// The PostgreSQL shared by the whole test program; nothing, and why, when it cannot start.
ScratchPostgres* SharedPostgres(std::string& whyNot);

class BackendTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the real HTTP server on a free port of 127.0.0.1 over this test's store.
    void StartServer(ServerSettings settings = Unlimited());
    static ServerSettings Unlimited();

    std::string location;  // what OpenScoreStore was given
    std::unique_ptr<ScoreStore> store;
    std::unique_ptr<RankingServer> server;
    int port = 0;

private:
    std::string directory_;
};

}  // namespace vemol::ranking::testing
