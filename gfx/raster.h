// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rasterizer's inner interface: triangles arrive projected to the screen, already
// clipped, with the render state and the target they draw into.
#include <cstdint>

#include "gfx/device.h"

namespace vemol::gfx::detail {

// A vertex after projection: screen position (pixel centres on integer coordinates),
// 1/w for perspective correction, and its attributes (colour channels 0..255).
struct ScreenVertex {
    double sx, sy;
    double zn;  // z/w, used only when the depth plane is not known
    double q;   // 1/w
    double u, v;
    double r, g, b, a;
};

// Depth over the screen as zn = zx * px + zy * py + z0. Taken from the triangle's plane
// in the world, so every triangle of one world plane gets exactly the same depths.
struct DepthPlane {
    bool valid = false;
    double zx = 0.0, zy = 0.0, z0 = 0.0;
};

class FrameStartCache;

struct RasterTarget {
    Surface* colour = nullptr;
    std::uint16_t* depth = nullptr;
    const Texture* texture = nullptr;
    RenderState state;
    bool fastPaths = true;
    FrameStartCache* frameStart = nullptr;  // told where each triangle is about to draw
    ChangedRows* changedRows = nullptr;     // the same, for whoever shows the frame
};

void RasterizeTriangle(const RasterTarget& target, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                       const DepthPlane& plane);
// Two triangles drawn one after the other (the two halves of a square): the same pixels
// as two RasterizeTriangle calls, with the rows they share filled together where possible.
void RasterizeTrianglePair(const RasterTarget& target, const ScreenVertex (&first)[3], const ScreenVertex (&second)[3],
                           const DepthPlane& firstPlane, const DepthPlane& secondPlane);

}  // namespace vemol::gfx::detail
