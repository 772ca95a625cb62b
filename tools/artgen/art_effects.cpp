// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// BOMBA, the blast, and S10..S60, the point pop-ups.
#include "tools/artgen/artwork.h"
#include "tools/artgen/random.h"
#include "tools/artgen/text.h"

#include <cstdio>

namespace artgen {

// The blast is added to the screen through pure green, so its green channel carries the
// picture: a bright ring with a soft glow inside and out, and short sparks around it.
Canvas makeBlast() {
    Canvas c(128, 128, rgb8(0, 0, 0));
    const float cx = 64.0f, cy = 64.0f, ring = 42.0f;
    Random random(0xB0B0A);
    float sparkAngle[14], sparkLength[14];
    for (int i = 0; i < 14; ++i) {
        sparkAngle[i] = (float(i) + 0.5f * float(random.unit())) * 6.2831853f / 14.0f;
        sparkLength[i] = 8.0f + 10.0f * float(random.unit());
    }
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
            float r = std::hypot(dx, dy), a = std::atan2(dy, dx);
            float core = std::exp(-(r - ring) * (r - ring) / 10.0f);
            float glow = 0.45f * std::exp(-(r - ring) * (r - ring) / 120.0f);
            float inner = 0.18f * smoothstep(ring, 0.0f, r);
            float spark = 0;
            for (int i = 0; i < 14; ++i) {
                float da = std::remainder(a - sparkAngle[i], 6.2831853f);
                float along = r - (ring + 3.0f);
                if (along < 0 || along > sparkLength[i]) continue;
                float width = 1.6f * (1.0f - along / sparkLength[i]);
                spark = std::max(spark, clamp01(width - std::fabs(da * r) + 0.5f) * (1.0f - along / sparkLength[i]));
            }
            float light = clamp01(core + glow + inner + spark);
            float fade = 1.0f - smoothstep(58.0f, 63.5f, r);  // nothing at the picture's edge
            light *= fade;
            // White-hot at the ring, orange toward the glow's rim.
            c.at(x, y) = {clamp01(light * 1.15f), clamp01(light * light * 1.05f + 0.15f * light),
                          clamp01(light * light * light * 0.8f)};
        }
    return c;
}

// "+10" to "+60" in light lettering on black, filling the width of the picture; S20 is
// 36 and S50 33 pixels wide, and the texture squeezes them to the same width as the rest.
Canvas makePointPopup(int points, int width) {
    char text[8];
    std::snprintf(text, sizeof text, "+%d", points);
    // Laid out on a 32-pixel-wide picture, four times larger and reduced for smooth
    // edges; the wider S20 and S50 are the same lettering stretched, so that once the
    // texture squeezes them back to the common width all six match.
    // The halo needs three clear pixels on every side: nothing may touch the edge.
    const int size = fitPixelSize(Face::SansBold, "+00", 25 * 4, 20 * 4);
    Mask big = renderText(Face::SansBold, size, text).mask;
    Mask small = downsample(big, 4);
    Mask layout(32, 32);
    int left = (32 - small.width) / 2, top = (32 - small.height) / 2;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) layout.ref(left + x, top + y) = small.at(x, y);
    Mask stretched(width, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < width; ++x) {
            float sx = (float(x) + 0.5f) * 32.0f / float(width) - 0.5f;
            int ix = int(std::floor(sx));
            float f = sx - float(ix);
            stretched.ref(x, y) = layout.at(ix, y) * (1 - f) + layout.at(ix + 1, y) * f;
        }
    Canvas c(width, 32, rgb8(0, 0, 0));
    Mask halo = blur(dilate(stretched, 1.0f, 3), 1);
    c.paintMaskSolid(halo, -3, -3, rgb8(120, 70, 10), 0.8f);
    c.paintMask(stretched, 0, 0, [&](float, float y) {
        return mix(rgb8(255, 255, 230), rgb8(255, 214, 90), clamp01((y - float(top)) / float(small.height)));
    });
    return c;
}

}  // namespace artgen
