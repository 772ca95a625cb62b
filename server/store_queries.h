// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ranking's query, the same for both databases: numbered parameters ($1, ...) are
// PostgreSQL's own and SQLite binds them by name.
namespace vemol::ranking::queries {

// $1 how many rows.
inline constexpr const char* kTopScores =
    "SELECT s.score, s.name, s.home_page, s.comment, s.received_at "
    "FROM best_scores b JOIN scores s ON s.id = b.score_id "
    "ORDER BY b.score DESC, b.score_id ASC LIMIT $1";

}  // namespace vemol::ranking::queries
