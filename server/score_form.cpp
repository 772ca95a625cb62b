// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/score_form.h"

#include <civetweb.h>

namespace vemol::ranking {
namespace {

std::string_view WithoutFinalLineBreak(std::string_view body) {
    if (body.ends_with("\r\n")) return body.substr(0, body.size() - 2);
    if (body.ends_with('\n')) return body.substr(0, body.size() - 1);
    return body;
}

}  // namespace

std::string DecodePercentEscapes(std::string_view value) {
    // CivetWeb's decoder keeps a '%' without two hex digits as it is, and with form
    // decoding off keeps '+' too, as the game's texts need. Decoding only shortens.
    std::string out(value.size() + 1, '\0');
    int length =
        mg_url_decode(value.data(), static_cast<int>(value.size()), out.data(), static_cast<int>(out.size()), 0);
    out.resize(length < 0 ? 0 : static_cast<std::size_t>(length));
    return out;
}

std::optional<ScoreForm> ReadScoreForm(std::string_view body) {
    body = WithoutFinalLineBreak(body);
    constexpr std::string_view kScore = "score=", kName = "&name=", kUrl = "&url=", kComment = "&comm=";
    if (!body.starts_with(kScore)) return std::nullopt;
    std::size_t name = body.find(kName, kScore.size());
    if (name == std::string_view::npos) return std::nullopt;
    std::size_t url = body.find(kUrl, name + kName.size());
    if (url == std::string_view::npos) return std::nullopt;
    std::size_t comment = body.find(kComment, url + kUrl.size());
    if (comment == std::string_view::npos) return std::nullopt;

    auto between = [&](std::size_t from, std::size_t to) { return DecodePercentEscapes(body.substr(from, to - from)); };
    return ScoreForm{between(kScore.size(), name), between(name + kName.size(), url),
                     between(url + kUrl.size(), comment), between(comment + kComment.size(), body.size())};
}

}  // namespace vemol::ranking
