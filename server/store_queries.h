#pragma once
// The statements both databases run, with numbered parameters ($1, $2, ...): PostgreSQL
// takes them as they are and SQLite binds them by name. Only the table definitions differ.
namespace vemol::ranking::queries {

// $1 name, $2 earliest time, $3 score, $4 home page, $5 comment.
inline constexpr const char* kFindRecentDuplicate =
    "SELECT 1 FROM scores WHERE name = $1 AND received_at >= $2 AND score = $3 "
    "AND home_page = $4 AND comment = $5 LIMIT 1";

// $1 score, $2 name, $3 home page, $4 comment, $5 time; gives the new row's id.
inline constexpr const char* kInsertScore =
    "INSERT INTO scores (score, name, home_page, comment, received_at) "
    "VALUES ($1, $2, $3, $4, $5) RETURNING id";

// Keeps one row per name pointing at its best score; an equal score does not replace the
// earlier one, so the first to reach a score keeps it.
// $1 name, $2 score, $3 score id.
inline constexpr const char* kRaiseBestScore =
    "INSERT INTO best_scores (name, score, score_id) VALUES ($1, $2, $3) "
    "ON CONFLICT (name) DO UPDATE SET score = excluded.score, score_id = excluded.score_id "
    "WHERE excluded.score > best_scores.score";

// $1 how many rows.
inline constexpr const char* kTopScores =
    "SELECT s.score, s.name, s.home_page, s.comment, s.received_at "
    "FROM best_scores b JOIN scores s ON s.id = b.score_id "
    "ORDER BY b.score DESC, b.score_id ASC LIMIT $1";

}  // namespace vemol::ranking::queries
