#pragma once
// Copying pixels between two surfaces of one format with a colour key: source pixels that
// match the key are left out, so whatever the target holds there shows through.
#include <cstdint>

#include "gfx/device.h"

namespace gfx {

// A source pixel, read as the 16 or 32 bits its surface stores, is left out when
// (pixel & mask) == value.
struct ColourKey {
    std::uint32_t mask = 0;
    std::uint32_t value = 0;
};

// Copies `rect` of `src` to (dx, dy) of `dst`, leaving out the keyed pixels. Only pixels
// inside both surfaces are read or written. Surfaces of differing formats are refused:
// nothing is copied and the result is false.
bool copyRectKeyed(const Surface& src, const Rect& rect, Surface& dst, int dx, int dy, ColourKey key);

}  // namespace gfx
