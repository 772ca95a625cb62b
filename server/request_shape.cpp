// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/request_shape.h"

#include <algorithm>
#include <cctype>

#include "replay/replay.h"
#include "server/ranking_server.h"
#include "server/replay_routes.h"

namespace vemol::ranking {
namespace {

// Where the header ends, past its blank line; npos while it has not.
std::size_t HeaderEnd(std::string_view received) {
    std::size_t lf = received.find("\n\n"), crlf = received.find("\r\n\r\n");
    std::size_t lfEnd = lf == std::string_view::npos ? lf : lf + 2;
    std::size_t crlfEnd = crlf == std::string_view::npos ? crlf : crlf + 4;
    return std::min(lfEnd, crlfEnd);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

}  // namespace

bool IsRequestComplete(std::string_view received) {
    std::size_t end = HeaderEnd(received);
    if (end == std::string_view::npos) return false;
    std::string_view header = received.substr(0, end);
    for (std::size_t at = header.find('\n'); at != std::string_view::npos; at = header.find('\n', at + 1)) {
        std::string_view line = header.substr(at + 1);
        if (!StartsWithNoCase(line, "content-length:")) continue;
        std::size_t digit = line.find_first_not_of(" \t", 15);
        long long length = 0, largest = LargestBodyOf(received);
        std::size_t i = digit;
        for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) && length <= largest; ++i)
            length = length * 10 + (line[i] - '0');
        if (i == digit || length > largest) return true;  // refused without the body
        return received.size() - end >= static_cast<std::size_t>(length);
    }
    return !StartsWithNoCase(received, "post ");
}

long long LargestBodyOf(std::string_view received) {
    if (ReadRequestLine(received).path.starts_with(kReplayUploadPath))
        return static_cast<long long>(replay::kMaxReplayFileBytes);
    return kLargestBody;
}

RequestLine ReadRequestLine(std::string_view received) {
    std::string_view line = received.substr(0, received.find_first_of("\r\n"));
    std::size_t space = line.find(' ');
    RequestLine out;
    out.method = std::string(line.substr(0, std::min(space, line.size())));
    if (space != std::string_view::npos) {
        std::string_view rest = line.substr(space + 1);
        out.path = std::string(rest.substr(0, rest.find(' ')));
    }
    return out;
}

}  // namespace vemol::ranking
