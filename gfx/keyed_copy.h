// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Copying pixels between two surfaces of one format with a colour key: source pixels that
// match the key are left out, so whatever the target holds there shows through.
#include <cstdint>

#include "gfx/device.h"

namespace vemol::gfx {

// Copies `rect` of `src` to (dx, dy) of `dst`, leaving out the keyed pixels (ColourKey is
// in device.h). Only pixels
// inside both surfaces are read or written. Surfaces of differing formats are refused:
// nothing is copied and the result is false.
bool CopyRectKeyed(const Surface& src, const Rect& rect, Surface& dst, int dx, int dy, ColourKey key);

}  // namespace vemol::gfx
