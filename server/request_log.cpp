// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/request_log.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace vemol::ranking {
namespace {

constexpr std::size_t kLongestPath = 200;

std::string Masked(std::string_view text, std::size_t limit) {
    std::string out;
    for (char c : text.substr(0, limit)) {
        auto byte = static_cast<unsigned char>(c);
        out += (byte > 0x20 && byte < 0x7F) ? c : '?';
    }
    if (text.size() > limit) out += "...";
    return out;
}

// The outcome may carry a database's message over several lines: one line it stays.
std::string OnOneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    }
    return out;
}

}  // namespace

std::string LogTime() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char time[32];
    std::strftime(time, sizeof time, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return time;
}

std::string FormatLogLine(const RequestRecord& record) {
    char took[32];
    std::snprintf(took, sizeof took, "%.1fms", std::chrono::duration<double, std::milli>(record.took).count());
    return LogTime() + ' ' + Masked(record.address, 64) + ' ' + Masked(record.method, 16) + ' ' +
           Masked(record.path, kLongestPath) + ' ' + std::to_string(record.status) + ' ' + took + ' ' +
           OnOneLine(record.outcome) + '\n';
}

void LogRequest(const RequestRecord& record) {
    std::string line = FormatLogLine(record);
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace vemol::ranking
