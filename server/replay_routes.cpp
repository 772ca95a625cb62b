// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/replay_routes.h"

#include <sys/random.h>

#include <cerrno>
#include <charconv>
#include <stdexcept>

namespace vemol::ranking {
namespace {

constexpr std::size_t kTokenBytes = 16;
constexpr std::string_view kReplaySuffix = ".vemolreplay";

}  // namespace

std::string NewUploadToken() {
    unsigned char bytes[kTokenBytes];
    std::size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("the kernel gives no random bytes for an upload token");
        got += static_cast<std::size_t>(n);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char byte : bytes) {
        token += kHex[byte >> 4];
        token += kHex[byte & 0xF];
    }
    return token;
}

std::optional<std::string> TokenOfUploadPath(std::string_view path) {
    if (!path.starts_with(kReplayUploadPath)) return std::nullopt;
    std::string_view token = path.substr(kReplayUploadPath.size());
    if (token.size() != 2 * kTokenBytes || token.find_first_not_of("0123456789abcdef") != std::string_view::npos)
        return std::nullopt;
    return std::string(token);
}

std::string ReplayPath(std::int64_t entryId) {
    return std::string(kReplaysPath) + std::to_string(entryId) + std::string(kReplaySuffix);
}

std::optional<std::int64_t> EntryOfReplayPath(std::string_view path) {
    if (!path.starts_with(kReplaysPath) || !path.ends_with(kReplaySuffix)) return std::nullopt;
    std::string_view digits =
        path.substr(kReplaysPath.size(), path.size() - kReplaysPath.size() - kReplaySuffix.size());
    std::int64_t id = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || id <= 0) return std::nullopt;
    return id;
}

}  // namespace vemol::ranking
