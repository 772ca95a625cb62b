#pragma once
// The best-score file: exactly 4 bytes, the best score as a little-endian 32-bit integer.
#include <cstdint>
#include <string>

namespace vemol {

// Reads the file at start-up: a missing file gives 0, a shorter file fills only the
// low-order bytes, a longer one gives its first 4 bytes.
std::int32_t ReadBestScore(const std::string& path);

// Replaces the file atomically (a temporary file beside it, then a rename), so a crash
// or a full disk never leaves a truncated best score. Returns false, after a line on
// standard error, when the score could not be saved.
bool WriteBestScore(const std::string& path, std::int32_t value);

// The two steps of WriteBestScore. The first writes the 4 bytes to a new temporary file
// beside `path` and returns its name (empty, after a line on standard error, on
// failure); the second renames it over `path`. Until the rename the old file is intact.
std::string WriteBestScoreTemporary(const std::string& path, std::int32_t value);
bool ReplaceBestScoreFile(const std::string& temporary, const std::string& path);

}  // namespace vemol
