// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes of one score submission: an HTTP/1.0 POST with a single Content-Length header
// and a form body "score=..&name=..&url=..&comm=..", every line ended by a bare LF.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vemol::net {

// What one submission carries.
struct ScoreEntry {
    std::int32_t score = 0;
    std::string name;
    std::string homePage;
    std::string comment;
};

// Longest texts the ranking keeps, in bytes (the server's field sizes less the terminator).
constexpr std::size_t kNameLimit = 19;
constexpr std::size_t kHomePageLimit = 39;
constexpr std::size_t kCommentLimit = 79;

// Deliberate difference: utf8-cuts.
// The longest prefix of `text` of at most `limit` bytes that does not end inside a UTF-8
// character, so a cut never leaves half a character behind.
std::string CutAtCharacterBoundary(std::string_view text, std::size_t limit);

// The form value as sent: "&", ";", "=", "%", "+" and control bytes become %XX, so a
// form parser that splits fields on "&" or ";" sees exactly the four fields we sent.
// Every other byte goes out as typed: a parser that splits on anything else could still
// be misled, and must check the fields itself.
std::string EscapeFormValue(std::string_view value);

// The form body without its final LF, as counted by Content-Length.
std::string FormatScoreBody(const ScoreEntry& entry);

// The whole request for the script at `path`: request line, Content-Length, empty
// line, body and its final LF (which Content-Length does not count).
std::string FormatScoreRequest(std::string_view path, const ScoreEntry& entry);

}  // namespace vemol::net
