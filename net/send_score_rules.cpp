#include "net/send_score_rules.h"

namespace vemol::net {

SendScoreForm OpenSendScoreForm(const RankingState& ranking, std::int32_t sessionBestScore) {
    SendScoreForm form;
    form.bestScore = std::to_string(sessionBestScore);
    form.name = ranking.playerName;
    form.homePage = ranking.homePageUrl;
    return form;
}

SendScoreResult PressSend(RankingState& ranking, std::int32_t sessionBestScore,
                          const SendScoreForm& typed, const ScoreSender& send) {
    if (ranking.lastSentScore >= sessionBestScore) return SendScoreResult::AlreadySent;
    ranking.playerName = CutAtCharacterBoundary(typed.name, kNameLimit);
    if (ranking.playerName.empty()) return SendScoreResult::NameMissing;
    ranking.playerComment = CutAtCharacterBoundary(typed.comment, kCommentLimit);
    ranking.homePageUrl = CutAtCharacterBoundary(typed.homePage, kHomePageLimit);

    ScoreEntry entry{sessionBestScore, ranking.playerName, ranking.homePageUrl,
                     ranking.playerComment};
    // Unlike the first release, which said "Send OK!" and marked the score as sent even
    // when nothing reached the server, a failed send leaves the score free to send again.
    if (send(entry) != SendOutcome::Sent) return SendScoreResult::NotSent;
    ranking.lastSentScore = sessionBestScore;
    return SendScoreResult::Sent;
}

const char* SendScoreMessage(SendScoreResult result) {
    switch (result) {
    case SendScoreResult::AlreadySent: return "The Score already Send.";
    case SendScoreResult::NameMissing: return "Please Type Your Name.";
    case SendScoreResult::Sent: return "Send OK!";
    case SendScoreResult::NotSent: break;
    }
    return "The Score could not be sent: the ranking server did not answer. Please try again later.";
}

bool ReopensDialog(SendScoreResult result) {
    return result == SendScoreResult::AlreadySent || result == SendScoreResult::NameMissing;
}

}  // namespace vemol::net
