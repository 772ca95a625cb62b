// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/score_submission.h"

#include <utf8proc.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "server/score_form.h"
#include "server/text_encoding.h"

namespace vemol::ranking {
namespace {

bool IsControl(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// Digits only, at most five once leading zeros are skipped.
std::optional<int> ReadScore(std::string_view text) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::size_t first = std::min(text.find_first_not_of('0'), text.size());
    if (text.size() - first > 5) return std::nullopt;
    int value = 0;
    for (char c : text.substr(first)) value = value * 10 + (c - '0');
    return value;
}

// Characters that change the order text is shown in (embeddings, overrides, isolates)
// or show nothing at all: with them one player's name could pass for another's, or turn
// the rest of the ranking line around.
bool IsHiddenOrReordering(utf8proc_int32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || (c >= 0x200B && c <= 0x200D) ||
           c == 0x2060 || c == 0xFEFF;
}

bool HoldsHiddenOrReordering(const std::string& utf8) {
    const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(utf8.data());
    for (utf8proc_ssize_t at = 0, size = static_cast<utf8proc_ssize_t>(utf8.size()); at < size;) {
        utf8proc_int32_t c = 0;
        utf8proc_ssize_t length = utf8proc_iterate(bytes + at, size - at, &c);
        if (length <= 0) return true;  // cannot happen after ToUtf8; refused all the same
        if (IsHiddenOrReordering(c)) return true;
        at += length;
    }
    return false;
}

// One spelling per name: "e" followed by a combining accent and the single accented
// letter look the same, so they become the same row.
std::string Composed(const std::string& utf8) {
    utf8proc_uint8_t* composed = utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(utf8.c_str()));
    if (!composed) return utf8;
    std::string out(reinterpret_cast<const char*>(composed));
    std::free(composed);
    return out;
}

// Checks one text field against its size and converts it to UTF-8; a refusal reason
// when it fails.
std::optional<std::string> ReadText(std::string_view label, const std::string& bytes, std::size_t limit,
                                    std::string& utf8) {
    if (bytes.size() > limit) return std::string(label) + " is longer than " + std::to_string(limit) + " bytes";
    if (std::any_of(bytes.begin(), bytes.end(), IsControl)) return std::string(label) + " holds a control character";
    std::optional<std::string> converted = ToUtf8(bytes);
    if (!converted) return std::string(label) + " is neither UTF-8 nor Shift_JIS text";
    if (HoldsHiddenOrReordering(*converted))
        return std::string(label) + " holds an invisible or direction-changing character";
    utf8 = std::move(*converted);
    return std::nullopt;
}

}  // namespace

std::variant<NewScore, Refusal> ReadSubmission(std::string_view body, std::int64_t receivedAt) {
    std::optional<ScoreForm> form = ReadScoreForm(body);
    if (!form) return Refusal{"expected the form score=..&name=..&url=..&comm=.."};
    std::optional<int> score = ReadScore(form->score);
    if (!score || *score > kHighestScore) return Refusal{"score must be a whole number from 0 to 99999"};
    if (form->name.empty()) return Refusal{"name is empty"};

    NewScore entry;
    entry.score = *score;
    entry.receivedAt = receivedAt;
    if (auto refused = ReadText("name", form->name, kNameLimit, entry.name)) return Refusal{*refused};
    entry.name = Composed(entry.name);
    if (auto refused = ReadText("home page", form->homePage, kHomePageLimit, entry.homePage)) return Refusal{*refused};
    if (auto refused = ReadText("comment", form->comment, kCommentLimit, entry.comment)) return Refusal{*refused};
    return entry;
}

bool IsHomePageLink(std::string_view homePage) {
    auto startsWithScheme = [&](std::string_view scheme) {
        if (homePage.size() <= scheme.size()) return false;
        return std::equal(scheme.begin(), scheme.end(), homePage.begin(),
                          [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    };
    return startsWithScheme("http://") || startsWithScheme("https://");
}

}  // namespace vemol::ranking
