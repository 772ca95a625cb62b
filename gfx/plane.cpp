// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gfx/plane.h"

#include <cmath>
#include <utility>

namespace vemol::gfx::detail {

bool Invert4x4(const double m[4][4], double out[4][4]) {
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m[i][j];
            a[i][j + 4] = i == j ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (!(std::fabs(a[pivot][col]) > 1e-300)) return false;
        if (pivot != col) std::swap(a[pivot], a[col]);
        const double inv = 1.0 / a[col][col];
        for (int j = 0; j < 8; ++j) a[col][j] *= inv;
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0) continue;
            const double f = a[r][col];
            for (int j = 0; j < 8; ++j) a[r][j] -= f * a[col][j];
        }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) out[i][j] = a[i][j + 4];
    return true;
}

DepthPlane DepthPlaneFromWorld(const double a[3], const double b[3], const double c[3],
                               const double inverseViewProjection[4][4], int width, int height) {
    const double e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    // Scale so the largest component is exactly 1: a plane such as y = 0 then comes out
    // as exactly (0, 1, 0, 0) whichever triangle of it we start from.
    int largest = 0;
    for (int i = 1; i < 3; ++i)
        if (std::fabs(n[i]) > std::fabs(n[largest])) largest = i;
    if (!(std::fabs(n[largest]) > 0.0)) return {};
    const double scale = n[largest];
    for (double& component : n) component /= scale;
    const double world[4] = {n[0], n[1], n[2], -(n[0] * a[0] + n[1] * a[1] + n[2] * a[2])};

    // The same plane in clip space: clip = world x VP, so plane' = VP^-1 x plane.
    double p[4];
    for (int i = 0; i < 4; ++i)
        p[i] = inverseViewProjection[i][0] * world[0] + inverseViewProjection[i][1] * world[1] +
               inverseViewProjection[i][2] * world[2] + inverseViewProjection[i][3] * world[3];
    // p0 xn + p1 yn + p2 zn + p3 = 0 with xn = 2 px / W - 1 and yn = 1 - 2 py / H.
    const double magnitude = std::fabs(p[0]) + std::fabs(p[1]) + std::fabs(p[3]);
    if (!(std::fabs(p[2]) > 1e-12 * magnitude)) return {};
    DepthPlane plane;
    plane.valid = true;
    plane.zx = -2.0 * p[0] / (width * p[2]);
    plane.zy = 2.0 * p[1] / (height * p[2]);
    plane.z0 = (p[0] - p[1] - p[3]) / p[2];
    return plane;
}

}  // namespace vemol::gfx::detail
