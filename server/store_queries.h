// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The queries both databases run the same way: numbered parameters ($1, ...) are
// PostgreSQL's own and SQLite binds them by name. Hidden entries are 1, visible 0.
namespace vemol::ranking::queries {

// The tables moderation adds, the same in both databases.
inline constexpr const char* kModerationSchema =
    "CREATE INDEX IF NOT EXISTS scores_by_time ON scores (received_at);"
    "CREATE TABLE IF NOT EXISTS bans ("
    " kind TEXT NOT NULL, value TEXT NOT NULL, since BIGINT NOT NULL, PRIMARY KEY (kind, value));";

// Where an entry's replay may be uploaded: a token bound to the entry until it expires.
// The replays themselves are kept in a table of each database's own binary type.
inline constexpr const char* kReplayUploadSchema =
    "CREATE TABLE IF NOT EXISTS replay_uploads ("
    " token TEXT PRIMARY KEY, score_id BIGINT NOT NULL REFERENCES scores (id), score INTEGER NOT NULL,"
    " expires_at BIGINT NOT NULL);";

// $1 how many rows. best_scores points at each name's best visible entry.
inline constexpr const char* kTopScores =
    "SELECT s.score, s.name, s.home_page, s.comment, s.received_at, s.id, s.replay_state "
    "FROM best_scores b JOIN scores s ON s.id = b.score_id "
    "ORDER BY b.score DESC, b.score_id ASC LIMIT $1";

// The same for the entries received from $2 on: each name's best of them.
inline constexpr const char* kTopScoresSince =
    "SELECT score, name, home_page, comment, received_at, id, replay_state FROM ("
    " SELECT id, score, name, home_page, comment, received_at, replay_state,"
    " row_number() OVER (PARTITION BY name ORDER BY score DESC, id ASC) AS place"
    " FROM scores WHERE hidden = 0 AND received_at >= $2) AS period "
    "WHERE place = 1 ORDER BY score DESC, id ASC LIMIT $1";
// The same among the entries whose replay reaches their score.
inline constexpr const char* kTopVerifiedSince =
    "SELECT score, name, home_page, comment, received_at, id, replay_state FROM ("
    " SELECT id, score, name, home_page, comment, received_at, replay_state,"
    " row_number() OVER (PARTITION BY name ORDER BY score DESC, id ASC) AS place"
    " FROM scores WHERE hidden = 0 AND received_at >= $2 AND replay_state = 'verified') AS period "
    "WHERE place = 1 ORDER BY score DESC, id ASC LIMIT $1";

// $1 name or '', $2 address or '', $3 from, $4 until (exclusive), $5 how many.
inline constexpr const char* kListEntries =
    "SELECT id, score, name, home_page, comment, received_at, address, hidden, replay_state, replay_reason "
    "FROM scores "
    "WHERE ($1 = '' OR name = $1) AND ($2 = '' OR address = $2) AND received_at >= $3 AND received_at < $4 "
    "ORDER BY id DESC LIMIT $5";

// $1 id, $2 the new state; gives the entry's name when the state changed.
inline constexpr const char* kSetHidden = "UPDATE scores SET hidden = $2 WHERE id = $1 AND hidden <> $2 RETURNING name";

// A name's best is put back on its best visible entry (none when all are hidden). $1 name.
inline constexpr const char* kForgetBest = "DELETE FROM best_scores WHERE name = $1";
inline constexpr const char* kFindBest =
    "INSERT INTO best_scores (name, score, score_id) "
    "SELECT name, score, id FROM scores WHERE name = $1 AND hidden = 0 ORDER BY score DESC, id ASC LIMIT 1";

// $1 kind, $2 value, $3 time; each gives a row when it changed something.
inline constexpr const char* kAddBan =
    "INSERT INTO bans (kind, value, since) VALUES ($1, $2, $3) ON CONFLICT DO NOTHING RETURNING 1";
inline constexpr const char* kRemoveBan = "DELETE FROM bans WHERE kind = $1 AND value = $2 RETURNING 1";
inline constexpr const char* kBans = "SELECT kind, value, since FROM bans ORDER BY since, kind, value";

// Replays. $1 token; gives its entry, when the token expires and the entry's score.
inline constexpr const char* kTakeUpload =
    "DELETE FROM replay_uploads WHERE token = $1 RETURNING score_id, expires_at, score";
// $1 now: tokens nobody used are dropped.
inline constexpr const char* kForgetExpiredUploads = "DELETE FROM replay_uploads WHERE expires_at < $1";
// $1 entry, $2 the replay file.
inline constexpr const char* kStoreReplay =
    "INSERT INTO replays (score_id, data) VALUES ($1, $2) "
    "ON CONFLICT (score_id) DO UPDATE SET data = excluded.data";
// $1 entry, $2 state, $3 reason.
inline constexpr const char* kSetReplayState = "UPDATE scores SET replay_state = $2, replay_reason = $3 WHERE id = $1";
inline constexpr const char* kPendingReplays =
    "SELECT id, score FROM scores WHERE replay_state = 'pending' ORDER BY id";
// $1 entry.
inline constexpr const char* kFindReplay =
    "SELECT s.score, s.replay_state, s.hidden, r.data FROM scores s JOIN replays r ON r.score_id = s.id "
    "WHERE s.id = $1";

// $1 time, $2 action, $3 entries.
inline constexpr const char* kAudit = "INSERT INTO audit_log (at, action, entries) VALUES ($1, $2, $3)";
// $1 how many lines.
inline constexpr const char* kAuditLog = "SELECT at, action, entries FROM audit_log ORDER BY id DESC LIMIT $1";

}  // namespace vemol::ranking::queries
