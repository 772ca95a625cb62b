// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hot path: flat-coloured textured triangles seen straight on (every square of the
// game while it lies flat under the camera) into a 32-bit target with the default depth
// test. Everything that does not vary along a row is taken out of the pixel loop.
#include "gfx/triangle.h"

namespace vemol::gfx::detail {

// Draws the setup if it qualifies for the hot path; false leaves it to the general filler.
bool FillFlatTextured(const Setup& setup, const RasterTarget& target, const Sampler& sampler);
// Both triangles at once when they share everything a pixel depends on; false leaves them
// to be filled one by one.
bool FillFlatTexturedPair(const Setup& first, const Setup& second, const RasterTarget& target, const Sampler& sampler);

}  // namespace vemol::gfx::detail
