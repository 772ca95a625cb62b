// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the ranking accepts: the rules one submission must meet before it is stored.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "server/score_store.h"

namespace vemol::ranking {

// The game's screen shows five digits.
constexpr int kHighestScore = 99999;
// The Send Score dialog's field sizes, in bytes as sent.
constexpr std::size_t kNameLimit = 19;
constexpr std::size_t kHomePageLimit = 39;
constexpr std::size_t kCommentLimit = 79;

// Why a submission was refused, in a few words for the sender and the log.
struct Refusal {
    std::string reason;
};

// The body's submission as a score to store, texts in UTF-8, or why it is refused.
std::variant<NewScore, Refusal> ReadSubmission(std::string_view body, std::int64_t receivedAt);

// A home page is shown as a link only when it is a web address with something after
// "http://" or "https://"; anything else (the dialog's untouched "http://", a mail
// address, "javascript:") is shown as plain text.
bool IsHomePageLink(std::string_view homePage);

}  // namespace vemol::ranking
