// BOMBA, the blast, and S10..S60, the point pop-ups.
#include "tools/artgen/artwork.h"
#include "tools/artgen/random.h"
#include "tools/artgen/text.h"

#include <string>

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
    Canvas c(width, 32, rgb8(0, 0, 0));
    const std::string text = "+" + std::to_string(points);
    // Drawn four times larger and reduced, for smooth edges at this small size.
    int size = fitPixelSize(Face::SansBold, text, (width - 2) * 4, 20 * 4);
    Mask big = renderText(Face::SansBold, size, text).mask;
    Mask small = downsample(big, 4);
    int left = (width - small.width) / 2, top = (32 - small.height) / 2;
    Mask halo = blur(dilate(small, 1.0f, 3), 1);
    c.paintMaskSolid(halo, left - 3, top - 3, rgb8(120, 70, 10), 0.8f);
    c.paintMask(small, left, top, [&](float, float y) {
        return mix(rgb8(255, 255, 230), rgb8(255, 214, 90), clamp01((y - float(top)) / float(small.height)));
    });
    return c;
}

}  // namespace artgen
