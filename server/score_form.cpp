// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/score_form.h"

namespace vemol::ranking {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view WithoutFinalLineBreak(std::string_view body) {
    if (body.ends_with("\r\n")) return body.substr(0, body.size() - 2);
    if (body.ends_with('\n')) return body.substr(0, body.size() - 1);
    return body;
}

}  // namespace

std::string DecodePercentEscapes(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size() && HexValue(value[i + 1]) >= 0 && HexValue(value[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2]));
            i += 2;
        } else {
            out += value[i];
        }
    }
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
