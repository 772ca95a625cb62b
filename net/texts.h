// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The game's texts in the player's language, through gettext (text domain "vemol"). The
// English text is the key: a catalogue under share/locale gives another language's words,
// and without one the player reads English. The Japanese catalogue holds the words the
// game has always shown in Japan.
#include <initializer_list>
#include <string>
#include <string_view>

namespace vemol::net {

constexpr const char* kTextDomain = "vemol";

// `english` in the player's language (xgettext keyword: Translated).
const char* Translated(const char* english);

// Marks a text for the catalogue where it is only named; translate it where it is shown
// (xgettext keyword: ToTranslate).
constexpr const char* ToTranslate(const char* english) { return english; }

// The translated `format` with its "%s" replaced by `values`, in order.
std::string TranslatedWith(const char* format, std::initializer_list<std::string_view> values);

}  // namespace vemol::net
