// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where replays go in and come out: the upload path the 200 answer to a stored score
// names (a token bound to that entry) and the download path of a verified entry's replay.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vemol::ranking {

constexpr std::string_view kReplaysPath = "/replays/";
constexpr std::string_view kReplayUploadPath = "/replays/upload/";
// The header of the 200 answer that names the upload path.
constexpr const char* kReplayUploadHeader = "X-Vemol-Replay-Upload";
constexpr const char* kReplayContentType = "application/x-vemol-replay";

// 128 random bits from the kernel, as 32 hexadecimal digits; throws std::runtime_error
// when the kernel gives none.
std::string NewUploadToken();
// The token of "/replays/upload/TOKEN" when it has the form NewUploadToken gives.
std::optional<std::string> TokenOfUploadPath(std::string_view path);
// "/replays/12.vemolreplay" and back.
std::string ReplayPath(std::int64_t entryId);
std::optional<std::int64_t> EntryOfReplayPath(std::string_view path);

}  // namespace vemol::ranking
