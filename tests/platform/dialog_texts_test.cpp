// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs' and menus' texts in both languages, from the real catalogues of the build:
// under Japanese exactly the templates' texts, in English short enough for their controls.
#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "net/send_score_rules.h"
#include "platform/language.h"
#include "platform/template_dialog.h"
#include "platform/ui_texts.h"
#include "resources/ui_templates.h"

namespace vemol::platform {
namespace {

void ChooseLanguage(const char* language) {
    setenv("LANG", "C", 1);  // the plain C locale: LANGUAGE must count all the same
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANGUAGE", language, 1);
    SetUpLanguage(VEMOL_TEST_CATALOGUES);
}

// Pixels a label or button leaves for its text: buttons lose their 2-pixel padding and
// border on each side.
int RoomFor(const resources::DialogControl& control, const DialogBaseUnits& base) {
    const int width = DialogUnitsToPixelsX(control.width, base);
    return control.kind == resources::ControlClass::Button ? width - 6 : width;
}

TEST(DialogTexts, JapaneseIsTheTemplatesOwnAndEnglishFitsItsControls) {
    PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    pango_cairo_context_set_resolution(context, 96);
    const DialogBaseUnits base = MeasureDialogBaseUnits(context);
    const auto& controls = resources::sendScoreDialogTemplate().controls;
    const net::RankingServer server{"scores.example.org", 8080};

    ChooseLanguage("ja");
    for (const auto& control : controls) EXPECT_EQ(UiText(control.text), control.text);
    for (const auto& item : resources::mainMenuBar()) EXPECT_EQ(UiText(item.text), item.text);
    EXPECT_EQ(net::SendScoreMessage(net::SendScoreResult::AlreadySent, server), "The Score already Send.");
    EXPECT_EQ(net::SendScoreMessage(net::SendScoreResult::NameMissing, server), "Please Type Your Name.");
    EXPECT_EQ(net::SendScoreMessage(net::SendScoreResult::Sent, server), "Send OK!");
    EXPECT_EQ(net::SendScoreMessage(net::SendScoreResult::Refused, server),
              "ランキングサーバー（scores.example.org:8080）に接続を断られました。スコアは送信されていません。");

    ChooseLanguage("en");
    int translated = 0;
    for (const auto& control : controls) {
        if (control.kind == resources::ControlClass::Edit) continue;
        const std::string text = UiText(control.text);
        translated += text != control.text;
        EXPECT_LE(DialogTextWidth(context, text), RoomFor(control, base)) << text;
    }
    EXPECT_EQ(translated, 7);  // every label and button
    EXPECT_EQ(net::SendScoreMessage(net::SendScoreResult::NoAnswer, server),
              "The ranking server scores.example.org:8080 did not answer within 10 seconds. Please try again.");
    g_object_unref(context);
}

}  // namespace
}  // namespace vemol::platform
