// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "backend_fixture.h"

#include <stdlib.h>

#include <filesystem>

#include "scratch_postgres.h"

namespace vemol::ranking::testing {
// One PostgreSQL for the whole test program, stopped when the program ends.
ScratchPostgres* SharedPostgres(std::string& whyNot) {
    static std::string reason;
    static std::unique_ptr<ScratchPostgres> postgres = ScratchPostgres::Start(reason);
    whyNot = reason;
    return postgres.get();
}

void BackendTest::SetUp() {
    if (GetParam() == "postgresql") {
        std::string whyNot;
        ScratchPostgres* postgres = SharedPostgres(whyNot);
        if (!postgres) GTEST_SKIP() << "PostgreSQL tests skipped: " << whyNot;
        location = postgres->CreateDatabase();
    } else {
        std::string pattern = ::testing::TempDir() + "vemol-ranking-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
        location = "sqlite:" + directory_ + "/ranking.db";
    }
    store = OpenScoreStore(location);
}

void BackendTest::TearDown() {
    server.reset();
    store.reset();
    if (!directory_.empty()) std::filesystem::remove_all(directory_);
}

ServerSettings BackendTest::Unlimited() {
    ServerSettings settings;
    settings.listen = "127.0.0.1:0";
    settings.postsPerMinute = 0;
    return settings;
}

void BackendTest::StartServer(ServerSettings settings) {
    server = std::make_unique<RankingServer>(*store, settings);
    port = server->port();
}

}  // namespace vemol::ranking::testing
