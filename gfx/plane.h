// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Depth taken from a triangle's plane in the world rather than from its vertices: every
// triangle lying in one world plane (the backdrop and everything drawn flat on it) gets
// bit-identical depth at every pixel, so a later draw in that plane always passes the
// less-or-equal test.
#include "gfx/raster.h"

namespace vemol::gfx::detail {

// Inverts a 4x4 matrix; false when it is singular.
bool Invert4x4(const double m[4][4], double out[4][4]);

// The screen-space depth plane of the world triangle (a, b, c) under the view x projection
// whose inverse is given. Invalid for a degenerate triangle or one seen exactly edge-on.
DepthPlane DepthPlaneFromWorld(const double a[3], const double b[3], const double c[3],
                               const double inverseViewProjection[4][4], int width, int height);

}  // namespace vemol::gfx::detail
