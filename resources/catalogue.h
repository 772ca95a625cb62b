// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The resource catalogue: every picture, sound, the music, the opening clip and the icon,
// embedded into the executable at build time and found by type and name or id.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vemol::resources {

using Bytes = std::span<const std::uint8_t>;

struct Entry {
    std::string type;  // "BITMAP", "WAVE", "MIDI", "AVI", "ICON", "GROUP_ICON"
    std::string name;  // upper-case name, empty for numbered resources
    int id = -1;       // numeric id, -1 for named resources
    Bytes bytes;
};

class Catalogue {
public:
    Catalogue() = default;
    explicit Catalogue(std::vector<Entry> entries) : entries_(std::move(entries)) {}

    // Type and name compare case-insensitively ("bgm01.mid" finds "BGM01.MID").
    std::optional<Bytes> find(std::string_view type, std::string_view name) const;
    std::optional<Bytes> find(std::string_view type, int id) const;
    const std::vector<Entry>& entries() const { return entries_; }

    // The resources built into this program.
    static const Catalogue& embedded();

private:
    std::vector<Entry> entries_;
};

}  // namespace vemol::resources
