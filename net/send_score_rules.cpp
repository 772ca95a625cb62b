// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/send_score_rules.h"

#include "net/texts.h"

namespace vemol::net {
namespace {

using namespace std::chrono_literals;

SendScoreResult ResultOf(SendOutcome outcome) {
    switch (outcome) {
        case SendOutcome::Sent: return SendScoreResult::Sent;
        case SendOutcome::HostNotFound: return SendScoreResult::HostNotFound;
        case SendOutcome::ConnectRefused: return SendScoreResult::Refused;
        case SendOutcome::NoSocket:
        case SendOutcome::ConnectFailed: return SendScoreResult::Unreachable;
        case SendOutcome::LookupTimedOut:
        case SendOutcome::ConnectTimedOut:
        case SendOutcome::ReplyTimedOut: return SendScoreResult::NoAnswer;
        case SendOutcome::SendFailed:
        case SendOutcome::NoReply: return SendScoreResult::ConnectionBroke;
        case SendOutcome::Rejected: break;
    }
    return SendScoreResult::Rejected;
}

}  // namespace

SendScoreForm OpenSendScoreForm(const RankingState& ranking, std::int32_t sessionBestScore) {
    SendScoreForm form;
    form.bestScore = std::to_string(sessionBestScore);
    form.name = ranking.playerName;
    form.homePage = ranking.homePageUrl;
    return form;
}

SendScoreResult PressSend(RankingState& ranking, std::int32_t sessionBestScore, const SendScoreForm& typed,
                          const ScoreSender& send) {
    if (ranking.lastSentScore >= sessionBestScore) return SendScoreResult::AlreadySent;
    ranking.playerName = CutAtCharacterBoundary(typed.name, kNameLimit);
    if (ranking.playerName.empty()) return SendScoreResult::NameMissing;
    ranking.playerComment = CutAtCharacterBoundary(typed.comment, kCommentLimit);
    ranking.homePageUrl = CutAtCharacterBoundary(typed.homePage, kHomePageLimit);

    ScoreEntry entry{sessionBestScore, ranking.playerName, ranking.homePageUrl, ranking.playerComment};
    // Deliberate difference: send-ok-on-2xx.
    // Unlike the original, which said "Send OK!" and marked the score as sent even
    // when nothing reached the server, only a server that answered it took the score
    // counts; any other ending leaves the score free to send again.
    const SendScoreResult result = ResultOf(send(entry));
    if (result == SendScoreResult::Sent) ranking.lastSentScore = sessionBestScore;
    return result;
}

// Deliberate difference: english-dialog.
// Under a Japanese locale these read as the game has always said them: the refusals and
// "Send OK!" in its own English, the failures in the dialog's Japanese and polite tone.
std::string SendScoreMessage(SendScoreResult result, const RankingServer& server) {
    static_assert(kRankingTimeLimit == 10s, "the no-answer message names the time limit");
    // Deliberate difference: failure-names-server.
    const std::string name = server.text();
    switch (result) {
        case SendScoreResult::AlreadySent: return Translated("This score has already been sent.");
        case SendScoreResult::NameMissing: return Translated("Please type your name.");
        case SendScoreResult::Sent: return Translated("Send OK!");
        case SendScoreResult::HostNotFound:
            return TranslatedWith("The ranking server %s could not be found. The score was not sent.", {name});
        case SendScoreResult::Refused:
            return TranslatedWith("The ranking server %s refused the connection. The score was not sent.", {name});
        case SendScoreResult::Unreachable:
            return TranslatedWith("The ranking server %s could not be reached. The score was not sent.", {name});
        case SendScoreResult::NoAnswer:
            return TranslatedWith("The ranking server %s did not answer within 10 seconds. Please try again.", {name});
        case SendScoreResult::ConnectionBroke:
            return TranslatedWith("The connection to the ranking server %s broke while sending. Please try again.",
                                  {name});
        case SendScoreResult::Rejected: break;
    }
    return TranslatedWith("The ranking server %s did not accept the score. Please try again.", {name});
}

bool ReopensDialog(SendScoreResult result) {
    return result == SendScoreResult::AlreadySent || result == SendScoreResult::NameMissing;
}

bool IsSendFailure(SendScoreResult result) { return result != SendScoreResult::Sent && !ReopensDialog(result); }

}  // namespace vemol::net
