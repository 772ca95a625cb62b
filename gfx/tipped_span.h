// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opaque textured triangles tipped about the screen's horizontal axis (the title picture
// tipping away at the start of a game): w is the same along every row, so each row needs
// one division instead of one per pixel, and the texture row does not change along it.
#include "gfx/triangle.h"

namespace vemol::gfx::detail {

// Draws the setup if it qualifies; false leaves it to the general filler. Pixel for pixel
// what the general perspective filler draws.
bool FillTippedTextured(const Setup& setup, const RasterTarget& target, const Sampler& sampler);

}  // namespace vemol::gfx::detail
