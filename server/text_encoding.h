// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts arrive as the player's computer typed them: UTF-8 from our game, Shift_JIS from
// the original game on Japanese Windows. The ranking stores and shows UTF-8 only.
#include <optional>
#include <string>
#include <string_view>

namespace vemol::ranking {

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The text unchanged when it is valid UTF-8, otherwise read as Shift_JIS (with the
// Windows additions) and converted; nothing when it is neither.
std::optional<std::string> ToUtf8(std::string_view text);

}  // namespace vemol::ranking
