// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the body of a score submission, "score=..&name=..&url=..&comm=..".
//
// Our game escapes "&", "=", "%", "+" and control bytes as %XX; the original game sent
// every byte as typed, so a name may hold a bare "&" or "%". The fields are therefore
// found by their fixed order and markers rather than by splitting at every "&", and a "%"
// that does not start a valid escape stays a "%".
#include <optional>
#include <string>
#include <string_view>

namespace vemol::ranking {

// The four values exactly as the player's dialog held them (bytes, escapes undone).
struct ScoreForm {
    std::string score;
    std::string name;
    std::string homePage;
    std::string comment;
};

// Nothing when the body is not score=, &name=, &url=, &comm= in this order. One line
// break at the very end is the request's own and is not part of the comment.
std::optional<ScoreForm> ReadScoreForm(std::string_view body);

// %XX becomes its byte; a "%" without two hex digits after it is kept as it is. "+" is
// kept too: our game escapes a typed plus and the original game sent it unchanged.
std::string DecodePercentEscapes(std::string_view value);

}  // namespace vemol::ranking
