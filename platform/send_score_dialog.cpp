#include "platform/send_score_dialog.h"

#include <future>
#include <system_error>

#include "net/send_score_rules.h"
#include "net/web_page.h"
#include "platform/message_box.h"
#include "platform/template_dialog.h"

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

// The first release froze the window for as long as the send took; here the send runs
// on a worker thread while the windows repaint their last picture, deaf, as during the
// opening.
net::SendOutcome SendWhileRepainting(GtkClock& clock, const net::RankingServer& server, const net::ScoreEntry& entry) {
    std::future<net::SendOutcome> sending;
    try {
        sending = std::async(std::launch::async, net::SendScore, server, entry);
    } catch (const std::system_error&) {
        return net::SendScore(server, entry);  // no thread to spare: send, still within the time limit
    }
    clock.waitUntil([&sending] { return sending.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    return sending.get();
}

// One opening of the dialog; true when it asks to be opened again.
bool RunOnce(GtkWindow* owner, GameState& g, GtkClock& clock) {
    TemplateDialog dialog(owner, resources::sendScoreDialogTemplate());
    // The first release treated Escape as SEND, so backing out sent the score; here
    // Escape backs out like CANSEL.
    dialog.setEscapeCommand(control::Cansel);
    FillFields(dialog, net::OpenSendScoreForm(g.ranking, g.sessionBestScore));

    bool reopen = false;
    dialog.run([&](int command) {
        if (command == control::Cansel) {
            dialog.end(0);
        } else if (command == control::Send) {
            dialog.setDeaf(true);
            const net::RankingServer server = g.ranking.server;
            net::SendScoreResult result =
                net::PressSend(g.ranking, g.sessionBestScore, TypedFields(dialog),
                               [&](const net::ScoreEntry& entry) { return SendWhileRepainting(clock, server, entry); });
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

void RunSendScoreDialog(MainWindow* owner, GameState& g, GtkClock& clock) {
    while (RunOnce(owner ? owner->window() : nullptr, g, clock)) {
    }
}

void RunOpenWebPage(MainWindow* owner, GameState& g) {
    net::WebPageResult result = net::OpenWebPage(g.openHomePage, g.ranking.server);
    if (!result.opened)
        ShowMessageBox(owner ? owner->window() : nullptr, result.message.c_str(), "", MessageKind::Error);
}

}  // namespace vemol::platform
