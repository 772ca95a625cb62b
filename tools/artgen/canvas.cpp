// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/artgen/canvas.h"

namespace artgen {

float triangleDistance(float px, float py, const float (&xs)[3], const float (&ys)[3]) {
    float best = 1e9f;
    bool inside = false;
    for (int i = 0, j = 2; i < 3; j = i++) {
        float ex = xs[j] - xs[i], ey = ys[j] - ys[i];
        float wx = px - xs[i], wy = py - ys[i];
        float t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
        best = std::min(best, std::hypot(wx - ex * t, wy - ey * t));
        if ((ys[i] > py) != (ys[j] > py) && px < xs[i] + ex * (py - ys[i]) / ey) inside = !inside;
    }
    return inside ? -best : best;
}

Mask dilate(const Mask& m, float radius, int margin) {
    Mask out(m.width + 2 * margin, m.height + 2 * margin);
    int r = static_cast<int>(std::ceil(radius)) + 1;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            float best = 0;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    float a = m.at(x - margin + dx, y - margin + dy);
                    if (a <= best) continue;
                    float reach = clamp01(radius + 0.5f - std::hypot(float(dx), float(dy)));
                    best = std::max(best, a * reach);
                }
            out.ref(x, y) = best;
        }
    return out;
}

Mask blur(const Mask& m, int radius) {
    Mask a = m, b = m;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x) {
                float sum = 0;
                for (int d = -radius; d <= radius; ++d) sum += a.at(x + d, y);
                b.ref(x, y) = sum / float(2 * radius + 1);
            }
        for (int y = 0; y < a.height; ++y)
            for (int x = 0; x < a.width; ++x) {
                float sum = 0;
                for (int d = -radius; d <= radius; ++d) sum += b.at(x, y + d);
                a.ref(x, y) = sum / float(2 * radius + 1);
            }
    }
    return a;
}

}  // namespace artgen
