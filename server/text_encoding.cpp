// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/text_encoding.h"

#include <iconv.h>

namespace vemol::ranking {
namespace {

// Length of the UTF-8 sequence at `at`, or 0 when it is not a valid one.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

class Converter {
public:
    Converter() : handle_(iconv_open("UTF-8", "CP932")) {}
    ~Converter() {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::optional<std::string> ToUtf8(std::string_view text) {
    if (IsValidUtf8(text)) return std::string(text);
    Converter converter;
    if (!converter.valid()) return std::nullopt;
    // A Shift_JIS character is one or two bytes and becomes at most three in UTF-8.
    std::string out(text.size() * 3, '\0');
    std::string input(text);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    if (iconv(converter.get(), &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace vemol::ranking
