// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes small AVI clips for the tests, in the layout the clip reader expects and with the
// variations real writers produce ('rec ' groups, an audio stream, an index).
#include <cstdint>
#include <string>
#include <vector>

namespace vemol::test {

using ByteVector = std::vector<std::uint8_t>;

struct ClipLayout {
    int width = 4;
    int height = 2;                 // negative: rows stored top-down
    std::uint32_t compression = 0;  // 0 uncompressed, 1 RLE8
    std::uint16_t bitCount = 8;
    std::uint32_t microSecondsPerFrame = 27778;
    std::uint32_t scale = 1, rate = 36;
    std::int64_t coloursUsed = -1;       // biClrUsed; -1 writes the palette's own size
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::vector<ByteVector> frames;      // chunk payloads
    bool audioStreamFirst = false;       // the video becomes stream 01
    bool recLists = false;               // each frame inside a LIST 'rec '
    bool paletteChanges = false;         // an 'xxpc' chunk before each frame
};

ByteVector BuildClip(const ClipLayout& layout);

// Rows given top-down, one colour index per pixel; stored as an uncompressed frame with
// rows padded to 4 bytes, bottom row first unless `bottomUp` is false.
ByteVector PackRows(const std::vector<ByteVector>& rowsTopDown, bool bottomUp = true);

// A palette of `count` distinct colours: entry i is 0x00RRGGBB with R = i, G = 255 - i, B = 7.
std::vector<std::uint32_t> TestPalette(int count);

}  // namespace vemol::test
