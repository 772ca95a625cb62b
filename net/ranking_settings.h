#pragma once
// Where the online ranking lives. The host and the maker's home page are chosen when the
// game is built (VEMOL_RANKING_HOST, VEMOL_HOME_PAGE_ADDRESS); the paths are the server's.
#include <string>
#include <string_view>

namespace vemol::net {

constexpr std::string_view kRankingScriptPath = "/home/kanoreti/cgi-bin/cgi3/veranking.cgi";
constexpr std::string_view kRankingPagePath = "/home/kanoreti/ranking.html";

// Host name or dotted IPv4 address of the ranking server.
std::string_view rankingHost();
// Full address of the maker's home page ("KRM HOME").
std::string_view homePageAddress();
// "http://" + rankingHost() + kRankingPagePath.
std::string rankingPageAddress();

}  // namespace vemol::net
