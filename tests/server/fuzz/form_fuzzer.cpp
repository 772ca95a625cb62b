// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// libFuzzer harness for the score form reader: any body gives a submission or a
// refusal, never a crash, and what is accepted keeps the ranking's own rules.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/score_form.h"
#include "server/score_submission.h"
#include "server/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view body(reinterpret_cast<const char*>(data), size);
    if (auto form = vemol::ranking::ReadScoreForm(body)) {
        // Escapes only ever shorten a value.
        if (form->score.size() + form->name.size() + form->homePage.size() + form->comment.size() > size) std::abort();
    }
    auto submission = vemol::ranking::ReadSubmission(body, 0);
    if (auto* score = std::get_if<vemol::ranking::NewScore>(&submission)) {
        if (score->score < 0 || score->score > vemol::ranking::kHighestScore || score->name.empty()) std::abort();
        for (const std::string* text : {&score->name, &score->homePage, &score->comment})
            if (!vemol::ranking::IsValidUtf8(*text)) std::abort();
    }
    return 0;
}
