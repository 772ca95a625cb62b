// AVI 115: the maker's opening logo, 166 frames of 128 x 96 at 36 a second. Three
// ivory tiles drop in one after another and settle side by side spelling KRM, a gleam
// sweeps across them and "presents" fades in underneath. The last frame stays on view
// once the clip ends, so it is the finished logo.
#include "tools/artgen/artwork.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/text.h"

#include <string>

namespace artgen {
namespace {

constexpr int kWidth = 128, kHeight = 96, kFrames = 166;
constexpr float kTileSize = 30.0f, kTileY = 42.0f;

float easeOutBounce(float t) {
    if (t < 1 / 2.75f) return 7.5625f * t * t;
    if (t < 2 / 2.75f) return t -= 1.5f / 2.75f, 7.5625f * t * t + 0.75f;
    if (t < 2.5f / 2.75f) return t -= 2.25f / 2.75f, 7.5625f * t * t + 0.9375f;
    return t -= 2.625f / 2.75f, 7.5625f * t * t + 0.984375f;
}

void drawBackground(Canvas& c, float fade) {
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            float r = std::hypot((float(x) - 64.0f) / 80.0f, (float(y) - 44.0f) / 60.0f);
            c.at(x, y) = scale(mix(rgb8(30, 40, 96), rgb8(4, 6, 20), clamp01(r)), fade);
        }
}

// A glyph painted turned about (cx, cy), sampled from its mask.
void paintTurnedMask(Canvas& c, const Mask& m, float cx, float cy, float angle, Rgb colour) {
    const float cosA = std::cos(angle), sinA = std::sin(angle);
    const float reach = float(std::max(m.width, m.height));
    for (int y = int(cy - reach); y <= int(cy + reach); ++y)
        for (int x = int(cx - reach); x <= int(cx + reach); ++x) {
            float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
            float lx = dx * cosA + dy * sinA + m.width / 2.0f - 0.5f;
            float ly = -dx * sinA + dy * cosA + m.height / 2.0f - 0.5f;
            int ix = int(std::floor(lx)), iy = int(std::floor(ly));
            float fx = lx - float(ix), fy = ly - float(iy);
            float a = (m.at(ix, iy) * (1 - fx) + m.at(ix + 1, iy) * fx) * (1 - fy) +
                      (m.at(ix, iy + 1) * (1 - fx) + m.at(ix + 1, iy + 1) * fx) * fy;
            c.blend(x, y, colour, a);
        }
}

void drawTile(Canvas& c, const Mask& letter, float cx, float cy, float angle, float gleam) {
    drawDieFaceTurned(c, cx, cy, kTileSize, 0, 5.0f, angle);
    paintTurnedMask(c, letter, cx, cy, angle, rgb8(26, 32, 80));
    if (gleam <= 0) return;
    // The gleam: a slanted bright band passing over the tile.
    const float half = kTileSize / 2 - 1.5f;
    for (int y = int(cy - half); y <= int(cy + half); ++y)
        for (int x = int(cx - half); x <= int(cx + half); ++x) {
            float band = std::fabs((float(x) + 0.5f - cx) + 0.5f * (float(y) + 0.5f - cy) - gleam);
            c.addLight(x, y, rgb8(255, 250, 220), 0.55f * clamp01(1.0f - band / 4.0f));
        }
}

Canvas frame(int n, const Mask (&letters)[3], const TextMask& presents) {
    Canvas c(kWidth, kHeight);
    drawBackground(c, clamp01(float(n) / 12.0f));
    for (int i = 0; i < 3; ++i) {
        const int startFrame = 12 + 12 * i, landFrame = startFrame + 22;
        if (n < startFrame) continue;
        float t = clamp01(float(n - startFrame) / float(landFrame - startFrame));
        float cx = 24.0f + 40.0f * float(i);
        float cy = -kTileSize + (kTileY + kTileSize) * easeOutBounce(t);
        float angle = (1.0f - smoothstep(0.0f, 0.7f, t)) * (i == 1 ? -1.4f : 1.2f);
        // The gleam crosses all three tiles from left to right between frames 82 and 112.
        float sweep = (float(n) - 82.0f) / 30.0f * 170.0f - 20.0f - (cx - 24.0f);
        float gleam = (n >= 82 && n <= 118) ? sweep - 20.0f : -1e9f;
        drawTile(c, letters[i], cx, cy, angle, gleam > -40.0f && gleam < 40.0f ? gleam : 0.0f);
    }
    if (n >= 100) {
        float fade = clamp01(float(n - 100) / 30.0f);
        int left = (kWidth - presents.mask.width) / 2, top = 74 - presents.baseline + 8;
        c.paintMaskSolid(presents.mask, left, top, rgb8(190, 210, 255), fade);
    }
    c.clampAll();
    return c;
}

}  // namespace

Movie makeOpeningMovie() {
    Mask letters[3];
    const char* names[3] = {"K", "R", "M"};
    for (int i = 0; i < 3; ++i) letters[i] = renderText(Face::SansBold, 26, names[i]).mask;
    TextMask presents = renderText(Face::SansBook, 11, "presents", 1);
    std::vector<Canvas> frames;
    for (int n = 0; n < kFrames; ++n) frames.push_back(frame(n, letters, presents));
    std::vector<const Canvas*> pointers;
    for (const Canvas& f : frames) pointers.push_back(&f);
    std::vector<IndexedImage> indexed = quantizeTogether(pointers, 216);
    Movie movie{kWidth, kHeight, 27778, 36, 1, indexed.front().palette, {}};
    movie.palette.resize(216);
    for (auto& image : indexed) movie.frames.push_back(std::move(image.index));
    return movie;
}

}  // namespace artgen
