// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table the build generates from resources.txt: where each embedded file lies in
// the program image. Only the catalogue reads it.
#include <cstddef>

namespace vemol::resources::detail {

struct EmbeddedFile {
    const char* type;  // upper-case resource type
    const char* name;  // upper-case name, empty for numbered resources
    int id;            // numeric id, -1 for named resources
    const unsigned char* bytes;
    const unsigned long long* size;  // the assembler's size word beside the bytes
};

extern const EmbeddedFile kEmbeddedFiles[];
extern const std::size_t kEmbeddedFileCount;

}  // namespace vemol::resources::detail
