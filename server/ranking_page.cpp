// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/ranking_page.h"

#include <ctime>

#include "server/replay_routes.h"
#include "server/score_submission.h"

namespace vemol::ranking {
namespace {

// The game's colours: the cream of the board, dark brown ink, the red of the dice.
constexpr std::string_view kPageHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Vemol Ranking</title>
<style>
body{margin:0;background:#fbedb5;color:#3b2a14;font:15px/1.35 "DejaVu Sans","IPAGothic",sans-serif}
header{background:#3b2a14;color:#fbedb5;padding:10px 16px}
h1{margin:0;font-size:22px;letter-spacing:2px}
header p{margin:2px 0 0;font-size:13px;color:#f3d27a}
main{padding:8px 12px}
table{width:100%;border-collapse:collapse;table-layout:fixed}
th{text-align:left;border-bottom:2px solid #c0392b;padding:4px 6px;font-size:13px}
td{padding:4px 6px;border-bottom:1px solid #ead59a;vertical-align:top;overflow-wrap:anywhere}
tbody tr:nth-child(odd){background:#fdf5d6}
.rank{width:44px;text-align:right}.score{width:64px;text-align:right;font-weight:bold;color:#c0392b}
.name{width:170px}.date{width:128px;font-size:13px}
td.rank,td.score,td.date{font-variant-numeric:tabular-nums}
a{color:#8e2a1f}small{display:block;color:#7a6440}
nav{padding:6px 16px;background:#f3d27a;font-size:14px}nav a,nav strong{margin-right:14px}
nav .view{float:right;margin-right:0}a.verified{display:block;font-size:11px;font-weight:normal;text-decoration:none}
</style>
</head>
<body>
<header><h1>VEMOL RANKING</h1><p>Top 100 &middot; each name with its best score &middot; dates in UTC</p></header>
)";

constexpr std::string_view kTableHead = R"(<table>
<thead><tr><th class="rank">Rank</th><th class="score">Score</th><th class="name">Name</th><th>Comment</th><th class="date">Date</th></tr></thead>
<tbody>
)";

void AppendNameCell(std::string& page, const StoredScore& row) {
    page += "<td class=\"name\">";
    if (IsHomePageLink(row.homePage)) {
        page += "<a href=\"" + EscapeHtml(row.homePage) + "\" rel=\"nofollow ugc\">" + EscapeHtml(row.name) + "</a>";
    } else {
        page += EscapeHtml(row.name);
        // Kept as text: the dialog's untouched "http://" says nothing, anything else does.
        if (!row.homePage.empty() && row.homePage != "http://" && row.homePage != "https://")
            page += "<small>" + EscapeHtml(row.homePage) + "</small>";
    }
    page += "</td>";
}

std::string UtcTime(std::int64_t secondsSince1970, const char* format) {
    std::time_t time = static_cast<std::time_t>(secondsSince1970);
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, format, &parts);
    return text;
}

std::string IsoDate(std::int64_t secondsSince1970) { return UtcTime(secondsSince1970, "%Y-%m-%dT%H:%M:%SZ"); }

}  // namespace

std::vector<int> CompetitionRanks(const std::vector<StoredScore>& rows) {
    std::vector<int> ranks(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        ranks[i] = (i > 0 && rows[i].score == rows[i - 1].score) ? ranks[i - 1] : static_cast<int>(i) + 1;
    return ranks;
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string JsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || c == '<' || c == '>' || c == '&') {
            // "<", ">" and "&" too, so the JSON is safe even where it ends up inside HTML.
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string FormatDate(std::int64_t secondsSince1970) { return UtcTime(secondsSince1970, "%Y-%m-%d %H:%M"); }

namespace {

// The four boards, the one shown marked and not a link, and the switch between all
// entries and the verified ones, each keeping the other choice.
void AppendPeriodLinks(std::string& page, RankingPeriod shown, bool verifiedOnly) {
    std::string view = verifiedOnly ? "&amp;verified=1" : "";
    page += "<nav>";
    for (RankingPeriod period : kPeriods) {
        std::string title(PeriodTitle(period));
        if (period == shown)
            page += "<strong aria-current=\"page\">" + title + "</strong>";
        else
            page += "<a href=\"?period=" + std::string(PeriodName(period)) + view + "\">" + title + "</a>";
    }
    std::string here = "?period=" + std::string(PeriodName(shown));
    if (verifiedOnly)
        page += "<a class=\"view\" href=\"" + here + "\">All entries</a>";
    else
        page += "<a class=\"view\" href=\"" + here + "&amp;verified=1\">Verified only</a>";
    page += "</nav>\n<main>\n";
}

// A verified score links its replay: the game plays it back with vemol --replay.
void AppendScoreCell(std::string& page, const StoredScore& row) {
    page += "<td class=\"score\">" + std::to_string(row.score);
    if (row.verified) {
        page += "<a class=\"verified\" href=\"" + ReplayPath(row.id) +
                "\" title=\"Verified: its replay reaches this score. Download the replay.\">&#10003; replay</a>";
    }
    page += "</td>";
}

}  // namespace

std::string RenderRankingPage(const std::vector<StoredScore>& rows, RankingPeriod period, bool verifiedOnly) {
    std::string page(kPageHead);
    page.reserve(page.size() + 1024 + rows.size() * 400);
    AppendPeriodLinks(page, period, verifiedOnly);
    if (rows.empty()) {
        page += verifiedOnly ? "<p>No verified scores yet. The game sends the replay of a score it sends.</p>\n"
                             : "<p>No scores yet. Send yours from the game's Score menu.</p>\n";
    } else {
        page += kTableHead;
        std::vector<int> ranks = CompetitionRanks(rows);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const StoredScore& row = rows[i];
            page += "<tr><td class=\"rank\">" + std::to_string(ranks[i]) + "</td>";
            AppendScoreCell(page, row);
            AppendNameCell(page, row);
            page += "<td>" + EscapeHtml(row.comment) + "</td><td class=\"date\">" + FormatDate(row.receivedAt) +
                    "</td></tr>\n";
        }
        page += "</tbody>\n</table>\n";
    }
    page += "</main>\n</body>\n</html>\n";
    return page;
}

std::string RenderRankingJson(const std::vector<StoredScore>& rows) {
    std::string json = "{\"ranking\":[";
    std::vector<int> ranks = CompetitionRanks(rows);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const StoredScore& row = rows[i];
        if (i > 0) json += ',';
        json += "{\"rank\":" + std::to_string(ranks[i]) + ",\"score\":" + std::to_string(row.score) +
                ",\"name\":" + JsonString(row.name) + ",\"homePage\":" + JsonString(row.homePage) +
                ",\"homePageIsLink\":" + (IsHomePageLink(row.homePage) ? "true" : "false") +
                ",\"comment\":" + JsonString(row.comment) + ",\"date\":\"" + IsoDate(row.receivedAt) + "\"";
        json += row.verified ? ",\"verified\":true,\"replay\":" + JsonString(ReplayPath(row.id)) + "}"
                             : ",\"verified\":false,\"replay\":null}";
    }
    return json + "]}\n";
}

}  // namespace vemol::ranking
