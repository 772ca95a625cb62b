// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Golden pictures: small reference scenes drawn by the device and compared pixel for
// pixel with the pictures stored in tests/golden/gfx/. Any change in what the rasterizer
// draws shows up here.
//
// After a deliberate change, look at the new pictures and rewrite the stored ones with
//     VEMOL_UPDATE_GOLDEN=1 ./gfx_tests --gtest_filter='Golden*'
// (a failing comparison also leaves the picture it got beside the test binary, as
// <name>.actual.ppm, for a look first).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "scene.h"

namespace {

using vemol::gfx::Blend;
using vemol::gfx::Device;
using vemol::gfx::Format;

constexpr int kGoldenWidth = 160, kGoldenHeight = 120;

std::uint8_t boardPixel(int x, int y) {
    const bool light = ((x / 8) + (y / 8)) % 2 == 0;
    if (x < 2 || y < 2) return 200;  // a frame along the top and left edges
    return static_cast<std::uint8_t>(light ? 40 + (x + y) % 16 : 100 + (x * 3) % 16);
}
std::uint32_t boardPalette(int i) {
    return static_cast<std::uint32_t>((i * 5) & 0xFF) << 16 | static_cast<std::uint32_t>((i * 3 + 60) & 0xFF) << 8 |
           static_cast<std::uint32_t>(255 - i);
}
std::uint8_t ringPixel(int x, int y) {
    const int dx = x - 16, dy = y - 16, r2 = dx * dx + dy * dy;
    return static_cast<std::uint8_t>(r2 > 80 && r2 < 200 ? 1 : 0);
}
std::uint32_t ringPalette(int i) { return i == 1 ? 0xE0F040u : 0x000000u; }
std::uint8_t plusPixel(int x, int y) {
    return static_cast<std::uint8_t>((x == 10 || y == 16) && x > 3 && x < 30 ? 1 : 0);
}
std::uint32_t plusPalette(int i) { return i == 1 ? 0xF0F0F0u : 0x000000u; }

struct Artwork {
    std::unique_ptr<vemol::gfx::Texture> board, ring, plus;
    explicit Artwork(Format format)
        : board(vemol::gfx::CreateTextureFromBitmap(gfxtest::makeBitmap({64, 64}, boardPixel, boardPalette), format)),
          ring(vemol::gfx::CreateTextureFromBitmap(gfxtest::makeBitmap({32, 32}, ringPixel, ringPalette), format)),
          plus(vemol::gfx::CreateTextureFromBitmap(gfxtest::makeBitmap({36, 32}, plusPixel, plusPalette), format)) {}
};

void drawPlayScene(Device& d, const Artwork& art) {
    gfxtest::setGameCamera(d);
    d.clear(0xFFFBEDB5, 1.0f);
    d.setWorld(gfxtest::translation(7.0f, 0.0f, -14.0f));
    d.setTexture(art.board.get());
    d.drawMesh(gfxtest::squareMesh(35.0f, 0xFFFFFFFF));
    const gfxtest::Corner face[4] = {{0.5f, 0.5f}, {0.5f, 0.0f}, {0.0f, 0.5f}, {0.0f, 0.0f}};
    for (int i = 0; i < 5; ++i) {
        d.setWorld(gfxtest::placed(vemol::gfx::MatrixRotationY(0.7f * i), -18.0f + 9.0f * i, i == 2 ? 4.0f : 0.0f,
                                   12.0f - 5.0f * i));
        d.drawMesh(gfxtest::squareMesh(1.4f, 0xFFFFFFFF, face));
    }
    // The player's cube with a colour per corner, seen a little from the side.
    vemol::gfx::Mesh cube = gfxtest::cubeMesh(3.0f, 0xFFFFFFFF);
    vemol::gfx::QuadVertex* v = cube.lockVertices();
    for (int i = 0; i < 24; ++i)
        v[i].diffuse =
            static_cast<std::uint32_t>(i / 4 + 1) << 24 | (0x40u + 8u * i) << 16 | (0xFFu - 9u * i) << 8 | 0x80u;
    d.setWorld(gfxtest::placed(
        vemol::gfx::MatrixMultiply(vemol::gfx::MatrixRotationX(0.5f), vemol::gfx::MatrixRotationZ(0.3f)), -12.0f, 2.0f,
        -16.0f));
    d.drawMesh(cube);
    d.setBlendEnable(true);
    d.setSrcBlend(Blend::SrcAlpha);
    d.setDestBlend(Blend::One);
    d.setTexture(art.ring.get());
    vemol::gfx::Matrix blast = gfxtest::translation(10.0f, 0.0f, -4.0f);
    blast.m[0][0] = 2.2f;
    blast.m[2][2] = 1.6f;
    d.setWorld(blast);
    d.drawMesh(gfxtest::squareMesh(1.4f, 0xFF00FF00));
    d.setTexture(art.plus.get());
    d.setWorld(gfxtest::translation(-4.0f, 0.0f, 6.0f));
    d.setSrcBlend(Blend::Zero);
    d.setDestBlend(Blend::InvSrcColor);
    d.drawMesh(gfxtest::squareMesh(2.5f, 0xFFFFFFFF));
    d.setSrcBlend(Blend::One);
    d.setDestBlend(Blend::One);
    d.drawMesh(gfxtest::squareMesh(2.5f, 0xFFFFFFFF));
    d.setBlendEnable(false);
}

void drawTransitionScene(Device& d, const Artwork& art, int step) {
    gfxtest::setGameCamera(d);
    d.clear(0xFFFBEDB5, 1.0f);
    d.setTexture(art.board.get());
    const float angle = static_cast<float>(step) * -0.03f;
    d.setWorld(gfxtest::placed(vemol::gfx::MatrixRotationX(angle), 3.0f, (step - 8) * 0.5f, -10.8f));
    d.drawMesh(gfxtest::squareMesh(35.0f, 0xFFFFFFFF));
}

void drawShatterScene(Device& d, const Artwork& art) {
    // The last play frame, captured at full size, then cut into the 16 x 12 tiles.
    Device last(gfxtest::kWidth, gfxtest::kHeight);
    drawPlayScene(last, art);
    vemol::gfx::Texture capture(1024, 1024, last.format());
    Device::copyRect(last.backBuffer(), {0, 0, gfxtest::kWidth, gfxtest::kHeight}, capture.level0(), 0, 0);

    gfxtest::setGameCamera(d);
    d.clear(0xFFFBEDB5, 1.0f);
    d.setTexture(art.board.get());
    d.setWorld(gfxtest::translation(3.0f, -8.0f, -10.8f));
    d.drawMesh(gfxtest::squareMesh(35.0f, 0xFFFFFFFF));
    d.setTexture(&capture);
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 12; ++i) {
            const double u0 = j * 20.0 / 517.0, u1 = (j + 1) * 20.0 / 517.0;
            const double t0 = 0.4440000057220459 - i / 27.0, t1 = 0.4440000057220459 - (i + 1) / 27.0;
            const gfxtest::Corner uv[4] = {
                {float(u1), float(t0)}, {float(u1), float(t1)}, {float(u0), float(t0)}, {float(u0), float(t1)}};
            const float drift = static_cast<float>((i * 7 + j * 3) % 5) * 0.4f * (j > 8);
            d.setWorld(gfxtest::placed(vemol::gfx::MatrixRotationY(drift * 0.2f), 3.6f * j - 27.0f + drift,
                                       -2.0f - drift, 3.6f * i - 19.8f - drift));
            d.drawMesh(gfxtest::squareMesh(1.8f, 0xFFFFFFFF, uv));
        }
}

void expectMatchesGolden(const Device& d, const std::string& name) {
    const std::string path = std::string(VEMOL_GFX_GOLDEN_DIR) + "/" + name + ".ppm";
    const char* update = std::getenv("VEMOL_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        ASSERT_TRUE(gfxtest::writePpm(path, d.backBuffer())) << path;
        return;
    }
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
    ASSERT_TRUE(gfxtest::readPpm(path, width, height, rgb)) << "no golden picture " << path;
    ASSERT_EQ(width, d.width());
    ASSERT_EQ(height, d.height());
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = d.backBuffer().pixel(x, y);
            const std::uint8_t* g = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            differing += ((p >> 16) & 0xFF) != g[0] || ((p >> 8) & 0xFF) != g[1] || (p & 0xFF) != g[2];
        }
    if (differing) gfxtest::writePpm(name + ".actual.ppm", d.backBuffer());
    EXPECT_EQ(differing, 0) << name << ": pixels differ from " << path;
}

TEST(Golden, PlayFrame) {
    const Artwork art(Format::X8R8G8B8);
    Device d(kGoldenWidth, kGoldenHeight);
    drawPlayScene(d, art);
    expectMatchesGolden(d, "play");
}

TEST(Golden, PlayFrameSixteenBit) {
    const Artwork art(Format::R5G6B5);
    Device d(kGoldenWidth, kGoldenHeight, Format::R5G6B5);
    drawPlayScene(d, art);
    expectMatchesGolden(d, "play_r5g6b5");
}

TEST(Golden, NewGameTransition) {
    const Artwork art(Format::X8R8G8B8);
    for (int step : {0, 25, 41}) {
        Device d(kGoldenWidth, kGoldenHeight);
        drawTransitionScene(d, art, step);
        expectMatchesGolden(d, "transition_" + std::to_string(step));
    }
}

TEST(Golden, GameOverBreakUp) {
    const Artwork art(Format::X8R8G8B8);
    Device d(kGoldenWidth, kGoldenHeight);
    drawShatterScene(d, art);
    expectMatchesGolden(d, "shatter");
}

}  // namespace
