#pragma once
// What the player typed into the Send Score dialog and what was sent, kept for the run.
#include <cstdint>
#include <string>

namespace vemol::net {

struct RankingState {
    std::int32_t lastSentScore = -1;
    std::string playerName;
    std::string homePageUrl = "http://";
    std::string playerComment;
};

}  // namespace vemol::net
