// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui_texts.h"

#include "net/texts.h"

namespace vemol::platform {
namespace {

using net::ToTranslate;

struct TextKey {
    std::string_view templateText;
    const char* english;
};

// Every English text fits its control in the dialog font, as the Japanese ones do (a test
// measures them): hence "Nick" and "Remark", as "Name" and "Comment" would not fit.
constexpr TextKey kTextKeys[] = {
    // Send Score dialog.
    {"名前", ToTranslate("Nick")},
    {"ベストスコア", ToTranslate("Best score")},
    {" コメント ", ToTranslate("Remark")},
    {"ホームページ", ToTranslate("Home page")},
    {"＜名前は必須です。以下の２つはよければお願いします。＞",
     ToTranslate("<A nick is required; the other two are optional.>")},
    {"SEND", ToTranslate("Send")},
    {"CANSEL", ToTranslate("Cancel")},
    // Menu bar; the Japanese catalogue leaves these in English, as the game always had them.
    {" File", ToTranslate(" File")},
    {"Exit", ToTranslate("Exit")},
    {"Score", ToTranslate("Score")},
    {"Send Score", ToTranslate("Send Score")},
    {"Ranking Page", ToTranslate("Ranking Page")},
    {"Help", ToTranslate("Help")},
    {"Version", ToTranslate("Version")},
};

}  // namespace

std::string UiText(std::string_view templateText) {
    for (const TextKey& key : kTextKeys)
        if (key.templateText == templateText) return net::Translated(key.english);
    return std::string(templateText);
}

}  // namespace vemol::platform
