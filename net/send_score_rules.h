// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Send Score dialog does, apart from its window: what an opening shows, what
// SEND decides, which message the player sees and whether the dialog comes back.
#include <cstdint>
#include <functional>
#include <string>

#include "net/ranking_state.h"
#include "net/score_post.h"

namespace vemol::net {

// The dialog's fields, as shown on opening or as the player left them.
struct SendScoreForm {
    std::string bestScore;  // read-only
    std::string name;
    std::string comment;
    std::string homePage;
};

enum class SendScoreResult {
    AlreadySent,  // no new best since the last send: refused, the dialog reopens
    NameMissing,  // refused, the dialog reopens; the comment and home page typed are lost
    Sent,         // the ranking server took the score: "Send OK!"
    // Not sent, or not confirmed: the score may be sent again.
    HostNotFound,     // the ranking server's name could not be found
    Refused,          // the server refused the connection
    Unreachable,      // the server could not be reached
    NoAnswer,         // no answer within the time limit
    ConnectionBroke,  // the connection broke while sending, before the server answered
    Rejected,         // the server answered, but did not take the score
};

using ScoreSender = std::function<SendOutcome(const ScoreEntry&)>;

// An opening: the run's best score, the name and home page kept for the run, an empty
// comment (the comment is never shown again).
SendScoreForm OpenSendScoreForm(const RankingState& ranking, std::int32_t sessionBestScore);

// SEND with the fields as typed. Keeps what is read in `ranking`, cut to the ranking's
// limits, and sends through `send`; a score counts as sent only when the server took it.
SendScoreResult PressSend(RankingState& ranking, std::int32_t sessionBestScore, const SendScoreForm& typed,
                          const ScoreSender& send);

// The message box text for a result, in the player's language; the failures name the
// server that was tried.
std::string SendScoreMessage(SendScoreResult result, const RankingServer& server);

// Refusals close the dialog and open a fresh one; a send, good or bad, just closes it.
bool ReopensDialog(SendScoreResult result);

// True for the results that say a send went wrong.
bool IsSendFailure(SendScoreResult result);

}  // namespace vemol::net
