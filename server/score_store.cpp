// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/score_store.h"

#include "server/postgres_store.h"
#include "server/sqlite_store.h"

namespace vemol::ranking {

std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& location) {
    constexpr std::string_view kSqlite = "sqlite:";
    if (location.starts_with(kSqlite)) {
        std::string path = location.substr(kSqlite.size());
        if (path.empty()) throw StoreError("sqlite: needs a file path, as in sqlite:ranking.db");
        return OpenSqliteStore(path);
    }
    if (location.starts_with("postgresql://") || location.starts_with("postgres://"))
        return OpenPostgresStore(location);
    throw StoreError("unknown database \"" + location + "\": use sqlite:PATH or postgresql://...");
}

}  // namespace vemol::ranking
