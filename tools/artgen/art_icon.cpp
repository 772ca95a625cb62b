// The program icon: a white die seen from above a corner, the red single pip on top,
// two and three pips on the sides, in the classic 16-colour palette.
#include "tools/artgen/artwork.h"

namespace artgen {
namespace {

const std::vector<Rgb8>& classicPalette() {
    static const std::vector<Rgb8> palette{
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    return palette;
}

struct Face {
    float ox, oy, ax, ay, bx, by;  // origin and the two edge vectors
    Rgb colour;
    int pips;
};

// (s, t) of a point on the face spanned by origin + s a + t b.
bool faceCoordinates(const Face& f, float x, float y, float& s, float& t) {
    float det = f.ax * f.by - f.ay * f.bx;
    float px = x - f.ox, py = y - f.oy;
    s = (px * f.by - py * f.bx) / det;
    t = (f.ax * py - f.ay * px) / det;
    return s >= 0 && s <= 1 && t >= 0 && t <= 1;
}

bool onPip(int pips, float s, float t) {
    static const float spots[4][3][2] = {
        {}, {{0.5f, 0.5f}}, {{0.27f, 0.27f}, {0.73f, 0.73f}}, {{0.25f, 0.25f}, {0.5f, 0.5f}, {0.75f, 0.75f}}};
    float radius = pips == 1 ? 0.2f : 0.15f;
    for (int i = 0; i < pips; ++i)
        if (std::hypot(s - spots[pips][i][0], t - spots[pips][i][1]) < radius) return true;
    return false;
}

}  // namespace

IconArt makeIcon() {
    const Face faces[3] = {
        {16, 1.5f, 13.5f, 7, -13.5f, 7, rgb8(255, 255, 255), 1},   // top
        {2.5f, 8.5f, 13.5f, 7, 0, 15, rgb8(192, 192, 192), 2},     // left
        {16, 15.5f, 13.5f, -7, 0, 15, rgb8(128, 128, 128), 3},     // right
    };
    IconArt icon;
    icon.palette = classicPalette();
    icon.pixels.assign(32 * 32, 0);
    icon.transparent.assign(32 * 32, true);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            for (const Face& f : faces) {
                float s, t;
                if (!faceCoordinates(f, float(x) + 0.5f, float(y) + 0.5f, s, t)) continue;
                float edgeS = std::min(s, 1 - s) * std::hypot(f.ax, f.ay);
                float edgeT = std::min(t, 1 - t) * std::hypot(f.bx, f.by);
                std::uint8_t index = f.colour.r > 0.9f ? 15 : f.colour.r > 0.7f ? 7 : 8;
                if (onPip(f.pips, s, t)) index = f.pips == 1 ? 9 : 4;
                if (std::min(edgeS, edgeT) < 0.9f) index = 0;
                icon.pixels[std::size_t(y) * 32 + x] = index;
                icon.transparent[std::size_t(y) * 32 + x] = false;
                break;
            }
        }
    return icon;
}

}  // namespace artgen
