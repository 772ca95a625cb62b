// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A frame that starts with the same clear and draw as the frames before it gets the
// kept buffers back; any change to what that start depends on draws it afresh.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "scene.h"

namespace {

struct Start {
    std::uint32_t clearColour = 0xFFFBEDB5;
    float y = 0.0f;
};

// The start, then a square over it at squareX unless that is NaN.
void drawFrame(vemol::gfx::Device& d, const vemol::gfx::Texture& texture, const vemol::gfx::Mesh& mesh, const Start& s,
               float squareX = -5.0f) {
    d.clear(s.clearColour, 1.0f);
    d.setTexture(&texture);
    d.setWorld(gfxtest::translation(7.0f, s.y, -14.0f));
    d.drawMesh(mesh);
    if (squareX != squareX) return;
    d.setWorld(gfxtest::translation(squareX, 4.0f, 0.0f));
    d.drawMesh(gfxtest::squareMesh(3.0f, 0xFFFFFFFF));
}

void expectSameBuffers(const vemol::gfx::Device& reused, const vemol::gfx::Device& fresh) {
    ASSERT_EQ(reused.depthBuffer(), fresh.depthBuffer());
    for (int y = 0; y < gfxtest::kHeight; ++y)
        for (int x = 0; x < gfxtest::kWidth; ++x)
            ASSERT_EQ(reused.backBuffer().pixel(x, y), fresh.backBuffer().pixel(x, y)) << x << "," << y;
}

std::unique_ptr<vemol::gfx::Texture> stripes() {
    return vemol::gfx::CreateTextureFromBitmap(gfxtest::makeBitmap(
        {16, 16}, [](int x, int y) { return static_cast<std::uint8_t>(x * 16 + y); },
        [](int i) { return static_cast<std::uint32_t>(i * 0x010203u); }));
}

TEST(FrameStart, RepeatedStartsDrawWhatAFreshDeviceDraws) {
    auto texture = stripes();
    ASSERT_TRUE(texture);
    vemol::gfx::Mesh mesh = gfxtest::squareMesh(35.0f, 0xFFFFFFFF);
    vemol::gfx::Device reused(gfxtest::kWidth, gfxtest::kHeight);
    gfxtest::setGameCamera(reused);

    // Each change comes after the start was repeated often enough to be kept.
    const std::function<void(Start&)> changes[] = {
        [](Start&) {},
        [&](Start&) { texture->level0().lock().bits[5] ^= 0xFF; },
        [&](Start&) { mesh.lockVertices()[0].u = 0.5f; },
        [](Start& s) { s.y = 1.0f; },
        [](Start& s) { s.clearColour = 0xFF102030; },
    };
    Start start;
    for (const auto& change : changes) {
        for (int i = 0; i < 3; ++i) drawFrame(reused, *texture, mesh, start);
        change(start);
        drawFrame(reused, *texture, mesh, start);
        vemol::gfx::Device fresh(gfxtest::kWidth, gfxtest::kHeight);
        gfxtest::setGameCamera(fresh);
        drawFrame(fresh, *texture, mesh, start);
        expectSameBuffers(reused, fresh);
    }
}

// The kept start is put back only where something changed it: a square drawn over it,
// or a sprite copied into the back buffer after the drawing, by the device (as the HUD
// does) or by anyone else.
TEST(FrameStart, WhatCoveredTheStartIsGoneWhenTheStartComesAgain) {
    const auto texture = stripes();
    ASSERT_TRUE(texture);
    const vemol::gfx::Mesh mesh = gfxtest::squareMesh(35.0f, 0xFFFFFFFF);
    const vemol::gfx::Surface sprite(24, 24, vemol::gfx::Format::X8R8G8B8);  // black
    vemol::gfx::Device reused(gfxtest::kWidth, gfxtest::kHeight);
    gfxtest::setGameCamera(reused);
    for (int i = 0; i < 4; ++i) {
        drawFrame(reused, *texture, mesh, Start{}, -20.0f + 10.0f * i);
        if (i == 1) vemol::gfx::Device::copyRect(sprite, {0, 0, 24, 24}, reused.backBuffer(), 400, 150);
        if (i > 1) reused.copyKeyedToBackBuffer(sprite, {0, 0, 24, 24}, 40 * i, 300, {0xFFu, 0x01u});
        reused.present();
    }
    drawFrame(reused, *texture, mesh, Start{}, NAN);
    vemol::gfx::Device fresh(gfxtest::kWidth, gfxtest::kHeight);
    gfxtest::setGameCamera(fresh);
    drawFrame(fresh, *texture, mesh, Start{}, NAN);
    expectSameBuffers(reused, fresh);
}

}  // namespace
