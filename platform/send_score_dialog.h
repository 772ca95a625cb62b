// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Send Score dialog (template 107) and the Score menu's web pages, as the player meets
// them: modal, owned by the main window.
#include <gtk/gtk.h>

#include <cstdint>

#include "net/ranking_state.h"
#include "platform/main_window.h"

namespace vemol::platform {

// Opens the Send Score dialog and returns when the player is done with it. After a
// refusal ("The Score already Send.", "Please Type Your Name.") the dialog closes and a
// fresh one opens, filled from the ranking state, until the player sends or cancels.
// While a send waits for the server (up to about 12 s) the windows keep repainting,
// taking no input.
void RunSendScoreDialog(MainWindow* owner, net::RankingState& ranking, std::int32_t sessionBestScore);

// "Ranking Page" (and "KRM HOME" once openHomePage is set): opens the page in a browser
// window; a browser that cannot be started is reported in a message box.
void RunOpenWebPage(MainWindow* owner, std::int32_t& openHomePage, const net::RankingServer& server);

}  // namespace vemol::platform
