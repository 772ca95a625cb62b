// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// libFuzzer harness for the text decoding: any bytes become valid UTF-8 or nothing, and
// valid UTF-8 comes back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bool valid = vemol::ranking::IsValidUtf8(bytes);
    std::optional<std::string> text = vemol::ranking::ToUtf8(bytes);
    if (text && !vemol::ranking::IsValidUtf8(*text)) std::abort();
    if (valid && (!text || *text != bytes)) std::abort();
    return 0;
}
