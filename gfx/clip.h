// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Clipping in homogeneous space, before the divide by w.
#include "gfx/raster.h"

namespace vemol::gfx::detail {

// A vertex after world x view x projection, with its attributes.
struct ClipVertex {
    double x, y, z, w;
    double u, v;
    double r, g, b, a;
};

// Clips the triangle against the near and far planes and a guard band far outside the
// screen (which only keeps coordinates small; the rasterizer trims to the screen), then
// projects the pieces and rasterizes them.
void ClipAndRasterize(const RasterTarget& target, const ClipVertex& a, const ClipVertex& b, const ClipVertex& c,
                      const DepthPlane& plane);
// Two triangles drawn one after the other; when neither needs clipping they go to the
// rasterizer together (RasterizeTrianglePair).
void ClipAndRasterizePair(const RasterTarget& target, const ClipVertex (&first)[3], const ClipVertex (&second)[3],
                          const DepthPlane& firstPlane, const DepthPlane& secondPlane);

}  // namespace vemol::gfx::detail
