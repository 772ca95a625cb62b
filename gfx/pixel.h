// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colour arithmetic shared by the rasterizer, the blender and the surface copies.
// Colours travel as 0xAARRGGBB; channels are 0..255 integers.
#include <cstdint>

#include "gfx/device.h"

namespace vemol::gfx {

inline int ChannelR(std::uint32_t c) { return (c >> 16) & 0xFF; }
inline int ChannelG(std::uint32_t c) { return (c >> 8) & 0xFF; }
inline int ChannelB(std::uint32_t c) { return c & 0xFF; }
inline int ChannelA(std::uint32_t c) { return c >> 24; }

inline std::uint32_t PackArgb(int a, int r, int g, int b) {
    return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// a x b / 255 rounded to nearest, exact for all 8-bit a and b: the classic
// fixed-function modulate.
inline int Mul255(int a, int b) {
    const int x = a * b + 128;
    return (x + (x >> 8)) >> 8;
}

// Per-channel texel x vertex colour; the alpha of the result is the texel's.
inline std::uint32_t Modulate(std::uint32_t texel, std::uint32_t colour) {
    return PackArgb(ChannelA(texel), Mul255(ChannelR(texel), ChannelR(colour)),
                    Mul255(ChannelG(texel), ChannelG(colour)), Mul255(ChannelB(texel), ChannelB(colour)));
}

inline std::uint16_t ToR5G6B5Inline(std::uint32_t argb) {
    return static_cast<std::uint16_t>(((argb >> 8) & 0xF800) | ((argb >> 5) & 0x07E0) | ((argb >> 3) & 0x001F));
}

inline std::uint32_t FromR5G6B5Inline(std::uint16_t p) {
    const std::uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

// Reads and writes one pixel of a surface row in its own format. X8R8G8B8 pixels are
// stored with the unused byte set, so they read back as opaque.
inline std::uint32_t ReadPixel(const std::uint8_t* row, int x, Format format) {
    if (format == Format::R5G6B5) return FromR5G6B5Inline(reinterpret_cast<const std::uint16_t*>(row)[x]);
    return reinterpret_cast<const std::uint32_t*>(row)[x] | 0xFF000000u;
}

inline void WritePixel(std::uint8_t* row, int x, Format format, std::uint32_t argb) {
    if (format == Format::R5G6B5)
        reinterpret_cast<std::uint16_t*>(row)[x] = ToR5G6B5Inline(argb);
    else
        reinterpret_cast<std::uint32_t*>(row)[x] = argb | 0xFF000000u;
}

}  // namespace vemol::gfx
