// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program icon: a white die showing five, with a grey side for depth and a black
// outline, in the classic 16-colour palette. Drawn eight times larger with flat colours
// and reduced, each pixel taking the colour that covers most of it. The desktop's icon
// theme gets the same die at every size, smoothed: each pixel the mean of its samples.
#include "tools/artgen/artwork.h"

#include <array>

namespace artgen {
namespace {

const std::vector<Rgb8>& classicPalette() {
    static const std::vector<Rgb8> palette{
        {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
    };
    return palette;
}

enum Colour : std::uint8_t { Black = 0, Navy = 4, Silver = 7, Grey = 8, Red = 9, White = 15, Clear = 16 };

// Which colour covers a point of the 32 x 32 icon (in icon pixels, fractional).
Colour colourAt(float x, float y) {
    const float face = 23.0f, depth = 5.0f, radius = 4.0f, outline = 1.1f;
    const float fx = 2.5f, fy = 2.5f;  // the front face's top-left corner
    auto box = [&](float left, float top) {
        return roundedBoxDistance(x, y, left + face / 2, top + face / 2, face / 2, face / 2, radius);
    };
    // The side: the face swept down and to the right.
    float side = 1e9f;
    for (float s = 0; s <= depth; s += 0.25f) side = std::min(side, box(fx + s, fy + s));
    float front = box(fx, fy);
    if (front < -outline) {
        const float cx = fx + face / 2, cy = fy + face / 2, step = 6.4f, pip = 2.6f;
        const float spots[5][2] = {{-1, -1}, {1, -1}, {0, 0}, {-1, 1}, {1, 1}};
        for (auto& s : spots)
            if (std::hypot(x - (cx + s[0] * step), y - (cy + s[1] * step)) < pip) return s[0] == 0 ? Red : Navy;
        return White;
    }
    if (front < 0) return Black;
    if (side < -outline) return x - fx > y - fy ? Grey : Silver;
    if (side < 0) return Black;
    return Clear;
}

}  // namespace

IconArt makeIcon() {
    IconArt icon;
    icon.palette = classicPalette();
    icon.pixels.assign(32 * 32, 0);
    icon.transparent.assign(32 * 32, true);
    constexpr int kSub = 8;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            std::array<int, 17> votes{};
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx)
                    ++votes[colourAt(float(x) + (float(sx) + 0.5f) / kSub, float(y) + (float(sy) + 0.5f) / kSub)];
            int best = 0;
            for (int c = 1; c < 17; ++c)
                if (votes[c] > votes[best]) best = c;
            const std::size_t i = std::size_t(y) * 32 + x;
            icon.transparent[i] = best == Clear;
            icon.pixels[i] = best == Clear ? 0 : std::uint8_t(best);
        }
    return icon;
}

RgbaImage makeDesktopIcon(int size) {
    RgbaImage image{size, size, std::vector<std::uint8_t>(std::size_t(size) * size * 4, 0)};
    const int sub = std::max(4, 256 / size);       // small icons take more samples a pixel
    const float unit = 32.0f / float(size * sub);  // one sample step in icon units
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float sum[3] = {0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < sub; ++sy)
                for (int sx = 0; sx < sub; ++sx) {
                    Colour c = colourAt((float(x * sub + sx) + 0.5f) * unit, (float(y * sub + sy) + 0.5f) * unit);
                    if (c == Clear) continue;
                    const Rgb8 rgb = classicPalette()[c];
                    sum[0] += rgb.r, sum[1] += rgb.g, sum[2] += rgb.b;
                    ++covered;
                }
            if (!covered) continue;
            std::uint8_t* px = &image.rgba[(std::size_t(y) * size + x) * 4];
            for (int k = 0; k < 3; ++k) px[k] = std::uint8_t(std::lround(sum[k] / float(covered)));
            px[3] = std::uint8_t(std::lround(255.0f * float(covered) / float(sub * sub)));
        }
    return image;
}

}  // namespace artgen
