// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/score_request.h"

namespace vemol::net {
namespace {

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0u) == 0x80u; }

// Deliberate difference: form-escaping.
bool NeedsEscape(unsigned char byte) {
    return byte == '&' || byte == ';' || byte == '=' || byte == '%' || byte == '+' || byte < 0x20u || byte == 0x7Fu;
}

}  // namespace

std::string CutAtCharacterBoundary(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::string(text);
    std::size_t end = limit;
    // The byte just past the cut starts the next character unless it continues one.
    while (end > 0 && IsContinuationByte(static_cast<unsigned char>(text[end]))) --end;
    return std::string(text.substr(0, end));
}

std::string EscapeFormValue(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        auto byte = static_cast<unsigned char>(c);
        if (NeedsEscape(byte)) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xFu];
        } else {
            out += c;
        }
    }
    return out;
}

std::string FormatScoreBody(const ScoreEntry& entry) {
    std::string body = "score=" + std::to_string(entry.score);
    body += "&name=" + EscapeFormValue(entry.name);
    body += "&url=" + EscapeFormValue(entry.homePage);
    body += "&comm=" + EscapeFormValue(entry.comment);
    return body;
}

std::string FormatScoreRequest(std::string_view path, const ScoreEntry& entry) {
    const std::string body = FormatScoreBody(entry);
    std::string request = "POST ";
    request += path;
    request += " HTTP/1.0\nContent-Length:" + std::to_string(body.size()) + "\n\n";
    request += body;
    request += '\n';
    return request;
}

}  // namespace vemol::net
