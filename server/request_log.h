// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One line per request on standard error. Only what an operator needs: time, sender,
// method, path, status, duration and the outcome in a few words; never a comment or a
// home page, and nothing the sender typed except the path, with odd bytes masked.
#include <chrono>
#include <string>
#include <string_view>

namespace vemol::ranking {

struct RequestRecord {
    std::string_view address;
    std::string_view method;
    std::string_view path;
    int status = 0;
    std::chrono::steady_clock::duration took{};
    std::string_view outcome;
};

std::string FormatLogLine(const RequestRecord& record);
// The current UTC time, as every line of the server's log begins.
std::string LogTime();
// Writes the line in one call, so lines of parallel requests never mix.
void LogRequest(const RequestRecord& record);

}  // namespace vemol::ranking
