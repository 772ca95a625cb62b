// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/ui_templates.h"

namespace vemol::resources {
namespace {
using namespace style;
using enum ControlClass;

constexpr std::string_view kDialogFont = "ＭＳ Ｐゴシック";

constexpr DialogControl kVersionControls[] = {
    {Static, 118, "118", 11, 8, 18, 21, SS_ICON},
    {Static, 65535, "Vemol Version 1.0", 40, 5, 119, 8, SS_LEFT | SS_NOPREFIX | WS_GROUP},
    {Button, 1, "OK", 61, 36, 50, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
};

constexpr DialogControl kSendScoreControls[] = {
    {Button, 1, "CANSEL", 124, 108, 50, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
    {Button, 2, "SEND", 34, 108, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
    {Edit, 1000, "", 54, 56, 129, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {Edit, 1001, "", 36, 8, 60, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {Static, 65535, "名前", 15, 10, 15, 8, SS_LEFT | WS_GROUP},
    {Static, 65535, " コメント ", 24, 58, 27, 8, SS_LEFT | WS_GROUP},
    {Edit, 1003, "", 147, 8, 40, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY},
    {Static, 65535, "ベストスコア", 107, 11, 36, 8, SS_LEFT | WS_GROUP},
    {Edit, 1004, "", 54, 80, 129, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {Static, 65535, "ホームページ", 10, 83, 41, 13, SS_LEFT | WS_GROUP},
    {Static, 65535, "＜名前は必須です。以下の２つはよければお願いします。＞", 17, 35, 173, 8, SS_LEFT | WS_GROUP},
};

constexpr std::uint32_t kDialogStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;

constexpr DialogTemplate kVersionDialog{100, " Version",   179,         230, 179,
                                        55,  kDialogStyle, kDialogFont, 9,   kVersionControls};
constexpr DialogTemplate kSendScoreDialog{107, "Send Score", 155,         158, 203,
                                          127, kDialogStyle, kDialogFont, 9,   kSendScoreControls};

constexpr MenuItem kFileItems[] = {{"Exit", command::Exit, {}}};
constexpr MenuItem kScoreItems[] = {{"Send Score", command::SendScore, {}}, {"Ranking Page", command::RankingPage, {}}};
constexpr MenuItem kHelpItems[] = {{"Version", command::Version, {}}, {"KRM HOME", command::KrmHome, {}}};
constexpr MenuItem kMenuBar[] = {
    {"", 65535, {}}, {" File", 0, kFileItems}, {"", 65535, {}}, {"Score", 0, kScoreItems},
    {"", 0, {}},     {"Help", 0, kHelpItems},
};
}  // namespace

const DialogTemplate& versionDialogTemplate() { return kVersionDialog; }
const DialogTemplate& sendScoreDialogTemplate() { return kSendScoreDialog; }
std::span<const MenuItem> mainMenuBar() { return kMenuBar; }

}  // namespace vemol::resources
