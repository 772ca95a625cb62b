#include "net/ranking_settings.h"

#ifndef VEMOL_RANKING_HOST_VALUE
#define VEMOL_RANKING_HOST_VALUE "ranking.krm-games.example"
#endif
#ifndef VEMOL_HOME_PAGE_ADDRESS_VALUE
#define VEMOL_HOME_PAGE_ADDRESS_VALUE "http://www.krm-games.example/"
#endif

namespace vemol::net {

std::string_view rankingHost() { return VEMOL_RANKING_HOST_VALUE; }
std::string_view homePageAddress() { return VEMOL_HOME_PAGE_ADDRESS_VALUE; }

std::string rankingPageAddress() {
    std::string address = "http://";
    address += rankingHost();
    address += kRankingPagePath;
    return address;
}

}  // namespace vemol::net
