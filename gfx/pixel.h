#pragma once
// Colour arithmetic shared by the rasterizer, the blender and the surface copies.
// Colours travel as 0xAARRGGBB; channels are 0..255 integers.
#include <cstdint>

#include "gfx/device.h"

namespace vemol::gfx {

inline int channelR(std::uint32_t c) { return (c >> 16) & 0xFF; }
inline int channelG(std::uint32_t c) { return (c >> 8) & 0xFF; }
inline int channelB(std::uint32_t c) { return c & 0xFF; }
inline int channelA(std::uint32_t c) { return c >> 24; }

inline std::uint32_t packArgb(int a, int r, int g, int b) {
    return (static_cast<std::uint32_t>(a) << 24) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// a x b / 255 rounded to nearest, exact for all 8-bit a and b: the classic
// fixed-function modulate.
inline int mul255(int a, int b) {
    const int x = a * b + 128;
    return (x + (x >> 8)) >> 8;
}

// Per-channel texel x vertex colour; the alpha of the result is the texel's.
inline std::uint32_t modulate(std::uint32_t texel, std::uint32_t colour) {
    return packArgb(channelA(texel), mul255(channelR(texel), channelR(colour)),
                    mul255(channelG(texel), channelG(colour)), mul255(channelB(texel), channelB(colour)));
}

inline std::uint16_t toR5G6B5Inline(std::uint32_t argb) {
    return static_cast<std::uint16_t>(((argb >> 8) & 0xF800) | ((argb >> 5) & 0x07E0) | ((argb >> 3) & 0x001F));
}

inline std::uint32_t fromR5G6B5Inline(std::uint16_t p) {
    const std::uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

// Reads and writes one pixel of a surface row in its own format. X8R8G8B8 pixels are
// stored with the unused byte set, so they read back as opaque.
inline std::uint32_t readPixel(const std::uint8_t* row, int x, Format format) {
    if (format == Format::R5G6B5) return fromR5G6B5Inline(reinterpret_cast<const std::uint16_t*>(row)[x]);
    return reinterpret_cast<const std::uint32_t*>(row)[x] | 0xFF000000u;
}

inline void writePixel(std::uint8_t* row, int x, Format format, std::uint32_t argb) {
    if (format == Format::R5G6B5)
        reinterpret_cast<std::uint16_t*>(row)[x] = toR5G6B5Inline(argb);
    else
        reinterpret_cast<std::uint32_t*>(row)[x] = argb | 0xFF000000u;
}

}  // namespace vemol::gfx
