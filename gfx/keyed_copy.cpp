// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gfx/keyed_copy.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vemol::gfx {
namespace {

// One row, with the pixel type fixed so the loop stays a plain load, test and store.
template <typename Pixel>
void CopyRowKeyed(const std::uint8_t* fromRow, std::uint8_t* toRow, int fromX, int toX, int count, ColourKey key) {
    for (int q = 0; q < count; ++q) {
        Pixel pixel;
        std::memcpy(&pixel, fromRow + sizeof(Pixel) * (fromX + q), sizeof pixel);
        if ((pixel & key.mask) != key.value) std::memcpy(toRow + sizeof(Pixel) * (toX + q), &pixel, sizeof pixel);
    }
}

}  // namespace

bool CopyRectKeyed(const Surface& src, const Rect& rect, Surface& dst, int dx, int dy, ColourKey key) {
    if (src.format() != dst.format()) return false;
    // The copied part as offsets (q, r) into the rectangle, inside both surfaces.
    const int qBegin = std::max({0, -rect.left, -dx});
    const int rBegin = std::max({0, -rect.top, -dy});
    const int qEnd = std::min({rect.right - rect.left, src.width() - rect.left, dst.width() - dx});
    const int rEnd = std::min({rect.bottom - rect.top, src.height() - rect.top, dst.height() - dy});
    for (int r = rBegin; r < rEnd && qBegin < qEnd; ++r) {
        const std::uint8_t* fromRow = src.data() + static_cast<std::ptrdiff_t>(rect.top + r) * src.pitch();
        std::uint8_t* toRow = dst.data() + static_cast<std::ptrdiff_t>(dy + r) * dst.pitch();
        if (src.format() == Format::R5G6B5)
            CopyRowKeyed<std::uint16_t>(fromRow, toRow, rect.left + qBegin, dx + qBegin, qEnd - qBegin, key);
        else
            CopyRowKeyed<std::uint32_t>(fromRow, toRow, rect.left + qBegin, dx + qBegin, qEnd - qBegin, key);
    }
    return true;
}

}  // namespace vemol::gfx
