// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `vemol-ranking admin ...`: the host's moderation on the server machine, against the
// same database the server uses (it may be running): list, hide, unhide, ban, unban,
// bans, purge, log.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vemol::ranking {

// Runs the subcommand given after "admin"; prints to standard output and errors to
// standard error; gives the exit code (0 done, 1 database failed, 2 wrong usage).
int RunAdmin(const std::vector<std::string>& arguments);

// `vemol-ranking backup [--db LOCATION] FILE`: a consistent copy of a SQLite ranking
// while the server runs; for PostgreSQL, says to use pg_dump. Gives the exit code.
int RunBackup(const std::vector<std::string>& arguments);

// "2026-12-09", "2026-12-09 17:40", "2026-12-09T17:40:05Z" (all UTC) or "@SECONDS".
std::optional<std::int64_t> ParseTime(const std::string& text);

}  // namespace vemol::ranking
