// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Textures and surfaces from the bitmap resources: 8-bit palettized device-independent
// bitmaps (info header, palette of B, G, R, 0 quads, rows padded to 4 bytes).
#include <algorithm>
#include <cstring>
#include <optional>

#include "gfx/device.h"
#include "gfx/pixel.h"

namespace vemol::gfx {
namespace {

constexpr std::size_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 16384;  // far beyond any resource; keeps sizes from overflowing

struct DecodedBitmap {
    int width = 0, height = 0;
    bool topDown = false;
    std::uint32_t palette[256] = {};  // 0xFFRRGGBB
    const std::uint8_t* rows = nullptr;
    std::size_t stride = 0;

    // Palette index of pixel (x, y), y counted from the top of the picture.
    std::uint8_t index(int x, int y) const {
        const int row = topDown ? y : height - 1 - y;
        return rows[static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(x)];
    }
    std::uint32_t colour(int x, int y) const { return palette[index(x, y)]; }
};

std::uint32_t readU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t ReadU16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

// Checks every field and size before anything is read; empty on malformed bytes.
std::optional<DecodedBitmap> DecodeBitmap(std::span<const std::uint8_t> dib) {
    if (dib.size() < kInfoHeaderSize) return std::nullopt;
    const std::uint8_t* p = dib.data();
    const std::uint32_t headerSize = readU32(p);
    const auto width = static_cast<std::int32_t>(readU32(p + 4));
    const auto height = static_cast<std::int32_t>(readU32(p + 8));
    const std::uint16_t planes = ReadU16(p + 12), bitCount = ReadU16(p + 14);
    const std::uint32_t compression = readU32(p + 16);
    std::uint32_t colours = readU32(p + 32);
    if (headerSize < kInfoHeaderSize || headerSize > dib.size()) return std::nullopt;
    if (planes != 1 || bitCount != 8 || compression != 0) return std::nullopt;
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide) return std::nullopt;
    if (colours == 0) colours = 256;
    if (colours > 256) return std::nullopt;

    DecodedBitmap bmp;
    bmp.width = width;
    bmp.topDown = height < 0;
    bmp.height = height < 0 ? -height : height;
    bmp.stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
    const std::size_t paletteBytes = std::size_t{colours} * 4;
    const std::size_t pixelBytes = bmp.stride * static_cast<std::size_t>(bmp.height);
    if (dib.size() - headerSize < paletteBytes || dib.size() - headerSize - paletteBytes < pixelBytes)
        return std::nullopt;

    const std::uint8_t* quads = p + headerSize;
    for (std::uint32_t i = 0; i < colours; ++i)
        bmp.palette[i] = PackArgb(0xFF, quads[4 * i + 2], quads[4 * i + 1], quads[4 * i]);
    bmp.rows = quads + paletteBytes;

    // Deliberate difference: bad-geometry-and-bitmaps.
    // An index past the palette would name a colour the bitmap does not have.
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x)
            if (bmp.index(x, y) >= colours) return std::nullopt;
    return bmp;
}

int RoundUpToPowerOfTwo(int n) {
    int p = 1;
    while (p < n) p <<= 1;
    return p;
}

}  // namespace

std::unique_ptr<Texture> CreateTextureFromBitmap(std::span<const std::uint8_t> dib, Format format) {
    const auto bmp = DecodeBitmap(dib);
    if (!bmp) return nullptr;
    const int width = RoundUpToPowerOfTwo(bmp->width);
    const int height = RoundUpToPowerOfTwo(bmp->height);
    auto texture = std::make_unique<Texture>(width, height, format);
    Surface& surface = texture->level0();
    // Nearest-neighbour scaling from texel centres, so the picture fills the texture.
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>((2LL * y + 1) * bmp->height / (2LL * height));
        std::uint8_t* row = surface.data() + static_cast<std::size_t>(y) * surface.pitch();
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>((2LL * x + 1) * bmp->width / (2LL * width));
            WritePixel(row, x, format, bmp->colour(sx, sy));
        }
    }
    return texture;
}

bool LoadSurfaceFromBitmap(Surface& surface, std::span<const std::uint8_t> dib) {
    const auto bmp = DecodeBitmap(dib);
    if (!bmp) return false;
    const int width = std::min(bmp->width, surface.width());
    const int height = std::min(bmp->height, surface.height());
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = surface.data() + static_cast<std::size_t>(y) * surface.pitch();
        for (int x = 0; x < width; ++x) WritePixel(row, x, surface.format(), bmp->colour(x, y));
    }
    return true;
}

}  // namespace vemol::gfx
