// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The best-score file: exactly 4 bytes, the best score as a little-endian 32-bit integer.
#include <cstdint>
#include <span>
#include <string>

namespace vemol {

struct BestScoreReading {
    std::int32_t score = 0;
    // False when the file exists but cannot be read or is no regular file: then a save
    // must leave it alone, or the best it may hold would be lost.
    bool keepable = true;
    std::string problem;  // why not, when not keepable
};

// Deliberate difference: regular-file-only.
// Reads the file at start-up without ever blocking: a missing file gives 0, a shorter
// regular file fills only the low-order bytes, a longer one gives its first 4 bytes. A
// FIFO, directory, device or unreadable file gives 0 and is not keepable; that is said
// once on standard error.
BestScoreReading ReadBestScoreFile(const std::string& path);
std::int32_t ReadBestScore(const std::string& path);

// Replaces the file atomically (a temporary file beside it, then a rename), so a crash
// or a full disk never leaves a truncated best score. A symbolic link is saved through
// to its target and stays a link; an existing file keeps its mode, a new one gets 0666
// less the umask. Where the directory allows no new file, an existing file is rewritten
// in place. Anything but a regular file, and a file that cannot be read, is left alone.
// Returns false, after one line on standard error, when the score could not be saved;
// `problem`, when given, then says why.
bool WriteBestScore(const std::string& path, std::int32_t value, std::string* problem = nullptr);

// The same careful replacement for the other files kept beside the best score (the
// replays): `what` names the file's content in the line on standard error.
using FileBytes = std::span<const std::uint8_t>;
bool WriteFileAtomically(const std::string& path, FileBytes bytes, const char* what, std::string* problem = nullptr);

// The two steps of the atomic replacement. The first writes the 4 bytes to a new
// temporary file beside `path` and returns its name (empty, after a line on standard
// error, on failure); the second renames it over `path`. Until the rename the old file
// is intact.
std::string WriteBestScoreTemporary(const std::string& path, std::int32_t value);
bool ReplaceBestScoreFile(const std::string& temporary, const std::string& path, std::string* problem = nullptr);

}  // namespace vemol
