// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reducing a picture to an 8-bit palette (median cut) and writing it as a
// device-independent bitmap without file header.
#include "tools/artgen/canvas.h"

#include <cstdint>
#include <vector>

namespace artgen {

struct Rgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb8&) const = default;
};
Rgb8 toRgb8(Rgb c);

struct IndexedImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> index;  // top-down rows, one byte per pixel
    std::vector<Rgb8> palette;        // at most 256 entries
};

// Reduces the canvas to at most maxColours colours. Reserved colours come first in the
// palette and take exactly the pixels of that colour and no others, so a background
// colour with a meaning (the HUD sheet's blue) never spreads to drawn pixels.
IndexedImage quantize(const Canvas& canvas, int maxColours, const std::vector<Rgb8>& reserved = {});
// The same for several pictures sharing one palette (the frames of a movie).
std::vector<IndexedImage> quantizeTogether(const std::vector<const Canvas*>& canvases, int maxColours,
                                           const std::vector<Rgb8>& reserved = {});

// Writes a 40-byte BITMAPINFOHEADER, a 256-entry palette and bottom-up rows padded to
// four bytes.
std::vector<std::uint8_t> encodeDib(const IndexedImage& image);

}  // namespace artgen
