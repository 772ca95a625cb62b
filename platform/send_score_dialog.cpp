// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/send_score_dialog.h"

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <system_error>
#include <vector>

#include "net/send_score_rules.h"
#include "net/web_page.h"
#include "platform/message_box.h"
#include "platform/template_dialog.h"
#include "platform/web_browser_start.h"

namespace vemol::platform {
namespace {

namespace control = resources::control;

void FillFields(TemplateDialog& dialog, const net::SendScoreForm& form) {
    dialog.setText(control::BestScore, form.bestScore);
    dialog.setText(control::Name, form.name);
    dialog.setText(control::HomePage, form.homePage);
    dialog.setText(control::Comment, form.comment);
}

net::SendScoreForm TypedFields(const TemplateDialog& dialog) {
    return {dialog.text(control::BestScore), dialog.text(control::Name), dialog.text(control::Comment),
            dialog.text(control::HomePage)};
}

// Inside the dialog's own modal loop, which keeps the main window from taking input: the
// windows keep repainting and answering the desktop until `finished` says so.
void AnswerTheDesktopUntil(const std::function<bool()>& finished) {
    constexpr gulong kStepUs = 4000;
    while (!finished()) {
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        if (!finished()) g_usleep(kStepUs);
    }
}

// Deliberate difference: send-time-limit.
// The original froze the window for as long as the send took; here the send runs
// on a worker thread while the windows repaint their last picture, the dialog deaf.
// The replay of the sent game follows on the same thread when our server asks for it.
net::SendOutcome SendWhileRepainting(const net::RankingServer& server, const net::ScoreEntry& entry,
                                     std::shared_ptr<const std::vector<std::uint8_t>> replay) {
    std::future<net::SendOutcome> sending;
    try {
        sending = std::async(std::launch::async, net::SendScoreWithReplay, server, entry, replay);
    } catch (const std::system_error&) {
        // No thread to spare: send, still within the time limit.
        return net::SendScoreWithReplay(server, entry, replay);
    }
    AnswerTheDesktopUntil(
        [&sending] { return sending.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    return sending.get();
}

// One opening of the dialog; true when it asks to be opened again.
bool RunOnce(GtkWindow* owner, net::RankingState& ranking, std::int32_t sessionBestScore) {
    TemplateDialog dialog(owner, resources::sendScoreDialogTemplate());
    // Deliberate difference: escape-cancels.
    // The original treated Escape as SEND, so backing out sent the score; here
    // Escape backs out like CANSEL.
    dialog.setEscapeCommand(control::Cansel);
    FillFields(dialog, net::OpenSendScoreForm(ranking, sessionBestScore));

    bool reopen = false;
    dialog.run([&](int command) {
        if (command == control::Cansel) {
            dialog.end(0);
        } else if (command == control::Send) {
            dialog.setDeaf(true);
            const net::RankingServer server = ranking.server;
            // The replay of the game that set the score being sent.
            std::shared_ptr<const std::vector<std::uint8_t>> replay = ranking.sessionBestReplay;
            net::SendScoreResult result = net::PressSend(
                ranking, sessionBestScore, TypedFields(dialog),
                [&](const net::ScoreEntry& entry) { return SendWhileRepainting(server, entry, replay); });
            dialog.setDeaf(false);
            MessageKind kind = net::IsSendFailure(result) ? MessageKind::Error : MessageKind::Plain;
            ShowMessageBox(dialog.window(), net::SendScoreMessage(result, server).c_str(), "", kind);
            reopen = net::ReopensDialog(result);
            dialog.end(0);
        }
    });
    return reopen;
}

}  // namespace

void RunSendScoreDialog(MainWindow* owner, net::RankingState& ranking, std::int32_t sessionBestScore) {
    while (RunOnce(owner ? owner->window() : nullptr, ranking, sessionBestScore)) {
    }
}

void RunOpenWebPage(MainWindow* owner, std::int32_t& openHomePage, const net::RankingServer& server) {
    GlibWebPageSystem system;
    net::WebPageResult result = net::OpenWebPage(openHomePage, server, system);
    if (!result.opened)
        ShowMessageBox(owner ? owner->window() : nullptr, result.message.c_str(), "", MessageKind::Error);
}

}  // namespace vemol::platform
