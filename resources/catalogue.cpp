// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/catalogue.h"

#include "resources/embedded_table.h"

#include <algorithm>

namespace vemol::resources {
namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::vector<Entry> embeddedEntries() {
    std::vector<Entry> entries;
    entries.reserve(detail::kEmbeddedFileCount);
    for (std::size_t i = 0; i < detail::kEmbeddedFileCount; ++i) {
        const auto& file = detail::kEmbeddedFiles[i];
        entries.push_back(
            Entry{file.type, file.name, file.id, Bytes(file.bytes, static_cast<std::size_t>(*file.size))});
    }
    return entries;
}

}  // namespace

std::optional<Bytes> Catalogue::find(std::string_view type, std::string_view name) const {
    // A named lookup never matches a numbered resource: their names are empty.
    if (name.empty()) return std::nullopt;
    for (const Entry& entry : entries_) {
        if (equalIgnoringCase(entry.type, type) && equalIgnoringCase(entry.name, name)) return entry.bytes;
    }
    return std::nullopt;
}

std::optional<Bytes> Catalogue::find(std::string_view type, int id) const {
    if (id < 0) return std::nullopt;
    for (const Entry& entry : entries_) {
        if (entry.id == id && equalIgnoringCase(entry.type, type)) return entry.bytes;
    }
    return std::nullopt;
}

const Catalogue& Catalogue::embedded() {
    static const Catalogue catalogue(embeddedEntries());
    return catalogue;
}

}  // namespace vemol::resources
