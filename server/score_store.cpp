// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/score_store.h"

#include <arpa/inet.h>

#include <array>
#include <charconv>

#include "server/postgres_store.h"
#include "server/sqlite_store.h"

namespace vemol::ranking {
namespace {

// An address ban's value as bytes and the number of leading bits that must match: an
// IPv4 or IPv6 address matches itself only, "PREFIX/BITS" a whole IPv6 range.
struct AddressRange {
    int family = 0;
    std::array<unsigned char, 16> bytes{};
    int bits = 0;
};

std::optional<AddressRange> ParseRange(const std::string& text) {
    AddressRange range;
    std::string address = text;
    std::size_t slash = text.find('/');
    if (slash != std::string::npos) address = text.substr(0, slash);
    if (inet_pton(AF_INET, address.c_str(), range.bytes.data()) == 1) {
        range.family = AF_INET;
        range.bits = 32;
    } else if (inet_pton(AF_INET6, address.c_str(), range.bytes.data()) == 1) {
        range.family = AF_INET6;
        range.bits = 128;
    } else {
        return std::nullopt;
    }
    if (slash != std::string::npos) {
        // Prefixes are for IPv6, where one player holds a whole /64.
        std::string_view bits = std::string_view(text).substr(slash + 1);
        int value = -1;
        auto [end, error] = std::from_chars(bits.data(), bits.data() + bits.size(), value);
        if (range.family != AF_INET6 || error != std::errc() || end != bits.data() + bits.size() || value < 8 ||
            value > 128)
            return std::nullopt;
        range.bits = value;
    }
    return range;
}

bool Contains(const AddressRange& range, const AddressRange& address) {
    if (range.family != address.family) return false;
    for (int bit = 0; bit < range.bits; ++bit) {
        int mask = 0x80 >> (bit % 8);
        if ((range.bytes[bit / 8] & mask) != (address.bytes[bit / 8] & mask)) return false;
    }
    return true;
}

}  // namespace

namespace {
constexpr const char* kReplayStateNames[] = {"none", "pending", "verified", "failed"};
}  // namespace

const char* ReplayStateName(ReplayState state) { return kReplayStateNames[static_cast<int>(state)]; }

ReplayState ReplayStateOfName(const std::string& name) {
    for (int i = 0; i < 4; ++i)
        if (name == kReplayStateNames[i]) return static_cast<ReplayState>(i);
    return ReplayState::None;
}

std::optional<Ban> FindBan(const std::vector<Ban>& bans, const std::string& name, const std::string& address) {
    std::optional<AddressRange> sender = ParseRange(address);
    for (const Ban& ban : bans) {
        if (ban.kind == "name" && ban.value == name) return ban;
        if (ban.kind == "address" && sender) {
            std::optional<AddressRange> range = ParseRange(ban.value);
            if (range && Contains(*range, *sender)) return ban;
        }
    }
    return std::nullopt;
}

bool IsValidBan(const Ban& ban) {
    if (ban.kind == "name") return !ban.value.empty();
    return ban.kind == "address" && ParseRange(ban.value).has_value();
}

std::string JoinIds(std::span<const std::int64_t> ids) {
    std::string text;
    for (std::int64_t id : ids) {
        if (!text.empty()) text += ',';
        text += std::to_string(id);
    }
    return text;
}

std::unique_ptr<ScoreStore> OpenScoreStore(const std::string& location) {
    constexpr std::string_view kSqlite = "sqlite:";
    if (location.starts_with(kSqlite)) {
        std::string path = location.substr(kSqlite.size());
        if (path.empty()) throw StoreError("sqlite: needs a file path, as in sqlite:ranking.db");
        return OpenSqliteStore(path);
    }
    if (location.starts_with("postgresql://") || location.starts_with("postgres://"))
        return OpenPostgresStore(location);
    throw StoreError("unknown database \"" + location + "\": use sqlite:PATH or postgresql://...");
}

}  // namespace vemol::ranking
