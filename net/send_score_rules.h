#pragma once
// What the Send Score dialog does, apart from its window: what an opening shows, what
// SEND decides, which message the player sees and whether the dialog comes back.
#include <cstdint>
#include <functional>
#include <string>

#include "game/state.h"
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
    Sent,         // the request went out: "Send OK!"
    NotSent,      // the server could not be reached; the score may be sent again
};

using ScoreSender = std::function<SendOutcome(const ScoreEntry&)>;

// An opening: the run's best score, the name and home page kept for the run, an empty
// comment (the comment is never shown again).
SendScoreForm OpenSendScoreForm(const RankingState& ranking, std::int32_t sessionBestScore);

// SEND with the fields as typed. Keeps what is read in `ranking`, cut to the ranking's
// limits, and sends through `send`; a score counts as sent only when the request went out.
SendScoreResult PressSend(RankingState& ranking, std::int32_t sessionBestScore,
                          const SendScoreForm& typed, const ScoreSender& send);

// The message box text for a result.
const char* SendScoreMessage(SendScoreResult result);

// Refusals close the dialog and open a fresh one; a send, good or bad, just closes it.
bool ReopensDialog(SendScoreResult result);

}  // namespace vemol::net
