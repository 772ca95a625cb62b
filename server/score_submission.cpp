#include "server/score_submission.h"

#include <algorithm>
#include <cctype>

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

// Checks one text field against its size and converts it to UTF-8; a refusal reason
// when it fails.
std::optional<std::string> ReadText(std::string_view label, const std::string& bytes, std::size_t limit,
                                    std::string& utf8) {
    if (bytes.size() > limit) return std::string(label) + " is longer than " + std::to_string(limit) + " bytes";
    if (std::any_of(bytes.begin(), bytes.end(), IsControl)) return std::string(label) + " holds a control character";
    std::optional<std::string> converted = ToUtf8(bytes);
    if (!converted) return std::string(label) + " is neither UTF-8 nor Shift_JIS text";
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
