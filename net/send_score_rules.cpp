#include "net/send_score_rules.h"

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
    // Unlike the first release, which said "Send OK!" and marked the score as sent even
    // when nothing reached the server, only a server that answered it took the score
    // counts; any other ending leaves the score free to send again.
    const SendScoreResult result = ResultOf(send(entry));
    if (result == SendScoreResult::Sent) ranking.lastSentScore = sessionBestScore;
    return result;
}

// The failures are told in the dialog's own language, Japanese, and its polite tone.
const char* SendScoreMessage(SendScoreResult result) {
    static_assert(kRankingTimeLimit == 10s, "the no-answer message names the time limit");
    switch (result) {
        case SendScoreResult::AlreadySent: return "The Score already Send.";
        case SendScoreResult::NameMissing: return "Please Type Your Name.";
        case SendScoreResult::Sent: return "Send OK!";
        case SendScoreResult::HostNotFound:
            return "ランキングサーバーが見つかりませんでした。スコアは送信されていません。";
        case SendScoreResult::Refused: return "ランキングサーバーに接続を断られました。スコアは送信されていません。";
        case SendScoreResult::Unreachable:
            return "ランキングサーバーに接続できませんでした。スコアは送信されていません。";
        case SendScoreResult::NoAnswer:
            return "ランキングサーバーから10秒以内に応答がありませんでした。もう一度お試しください。";
        case SendScoreResult::ConnectionBroke: return "送信中に接続が切れました。もう一度お試しください。";
        case SendScoreResult::Rejected: break;
    }
    return "ランキングサーバーがスコアを受け付けませんでした。もう一度お試しください。";
}

bool ReopensDialog(SendScoreResult result) {
    return result == SendScoreResult::AlreadySent || result == SendScoreResult::NameMissing;
}

bool IsSendFailure(SendScoreResult result) { return result != SendScoreResult::Sent && !ReopensDialog(result); }

}  // namespace vemol::net
