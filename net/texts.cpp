// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/texts.h"

#include <libintl.h>

namespace vemol::net {

const char* Translated(const char* english) { return dgettext(kTextDomain, english); }

std::string TranslatedWith(const char* format, std::initializer_list<std::string_view> values) {
    std::string text = Translated(format);
    std::size_t at = 0;
    for (std::string_view value : values) {
        at = text.find("%s", at);
        if (at == std::string::npos) break;
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}

}  // namespace vemol::net
