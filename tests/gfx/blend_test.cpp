// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Colour: texel x vertex colour, the blend modes of the effect passes, the untextured
// slot, and the specialised pixel paths against the general one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "scene.h"

namespace {

using vemol::gfx::Blend;
using vemol::gfx::Device;

// A 1 x 1 texture of one colour (through the bitmap loader, as the game makes them).
std::unique_ptr<vemol::gfx::Texture> solidTexture(std::uint32_t rgb) {
    static std::uint32_t colour;
    colour = rgb;
    return vemol::gfx::CreateTextureFromBitmap(gfxtest::makeBitmap(
        {1, 1, 1, 1}, [](int, int) { return std::uint8_t{0}; }, [](int) { return colour; }));
}

// A small device looking down on a board square that fills it.
struct Board {
    Device device{8, 6};
    vemol::gfx::Mesh square = gfxtest::squareMesh(40.0f, 0xFFFFFFFF);

    Board() { gfxtest::setGameCamera(device); }
    void draw(const vemol::gfx::Texture* texture, std::uint32_t diffuse = 0xFFFFFFFF) {
        vemol::gfx::QuadVertex* v = square.lockVertices();
        for (int i = 0; i < 4; ++i) v[i].diffuse = diffuse;
        device.setTexture(texture);
        device.drawMesh(square);
    }
    std::uint32_t shown() const { return device.backBuffer().pixel(3, 3); }
};

int channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

TEST(Colour, TexelTimesVertexColourRoundsLikeTheFixedFunctionStage) {
    Board b;
    const auto texture = solidTexture(0x80FF40);
    b.device.clear(0xFF000000, 1.0f);
    b.draw(texture.get(), 0xFF80FFC0);
    // 128 x 128 / 255 = 64.25, 255 x 255 / 255, 64 x 192 / 255 = 48.19
    EXPECT_EQ(b.shown(), 0xFF40FF30u);
    b.draw(texture.get(), 0xFF00FF00);  // the blasts' green keeps only the green channel
    EXPECT_EQ(b.shown(), 0xFF00FF00u);
    b.draw(nullptr, 0xFF123456);  // an empty texture slot: the vertex colour alone
    EXPECT_EQ(b.shown(), 0xFF123456u);
}

TEST(Colour, BlastsAddTheirLightAndSaturate) {
    Board b;
    const auto texture = solidTexture(0x30C0F0);
    b.device.clear(0xFF205080, 1.0f);
    b.draw(nullptr, 0xFF205080);
    b.device.setBlendEnable(true);
    b.device.setSrcBlend(Blend::SrcAlpha);
    b.device.setDestBlend(Blend::One);
    b.draw(texture.get());
    EXPECT_EQ(b.shown(), 0xFF50FFFFu);  // 0x20+0x30, 0x50+0xC0 -> 255, 0x80+0xF0 -> 255
    b.device.clear(0xFF102030, 1.0f);
    b.draw(texture.get(), 0xFF00FF00);  // green vertex colour: only green adds
    EXPECT_EQ(b.shown(), 0xFF10E030u);
    b.draw(texture.get(), 0xFF00FF00);  // a second blast over the first adds again
    EXPECT_EQ(b.shown(), 0xFF10FF30u);
}

// The pop-up's two draws, (ZERO, INVSRCCOLOR) then (ONE, ONE), must give
// screen x (1 - t) + t per channel.
TEST(Colour, PopupTwoStepBlendIsAScreenBlend) {
    Board b;
    for (int screen = 0; screen <= 255; screen += 17)
        for (int t = 0; t <= 255; t += 15) {
            const std::uint32_t background = 0xFF000000u | screen << 16 | (255 - screen) << 8 | (screen / 2);
            const std::uint32_t texel = static_cast<std::uint32_t>(t << 16 | (255 - t) << 8 | t);
            const auto texture = solidTexture(texel);
            b.device.clear(background, 1.0f);
            b.device.setBlendEnable(false);
            b.draw(nullptr, background);  // the board, at the pop-up's depth
            b.device.setBlendEnable(true);
            b.device.setSrcBlend(Blend::Zero);
            b.device.setDestBlend(Blend::InvSrcColor);
            b.draw(texture.get());
            b.device.setSrcBlend(Blend::One);
            b.device.setDestBlend(Blend::One);
            b.draw(texture.get());
            for (int shift : {0, 8, 16}) {
                const double s = channel(background, shift) / 255.0, x = channel(texel, shift) / 255.0;
                const double expected = (s * (1.0 - x) + x) * 255.0;
                EXPECT_LE(std::abs(channel(b.shown(), shift) - expected), 1.0)
                    << "screen " << screen << " texel " << t << " channel " << shift;
            }
        }
}

TEST(Colour, OtherBlendFactorsFollowTheirDefinitions) {
    Board b;
    const auto texture = solidTexture(0x4080C0);
    struct Case {
        Blend src, dst;
        std::uint32_t expected;
    };
    // Screen 0x604020; source 0x4080C0 with alpha 255; the back buffer has no alpha (255).
    const Case cases[] = {
        {Blend::One, Blend::Zero, 0xFF4080C0},
        {Blend::Zero, Blend::One, 0xFF604020},
        {Blend::SrcColor, Blend::Zero, 0xFF104091},
        {Blend::InvSrcAlpha, Blend::One, 0xFF604020},
        {Blend::DestColor, Blend::Zero, 0xFF182018},
        {Blend::InvDestColor, Blend::Zero, 0xFF2860A8},
        {Blend::DestAlpha, Blend::InvDestAlpha, 0xFF4080C0},
        {Blend::One, Blend::SrcColor, 0xFF58A0D8},
        {Blend::SrcAlpha, Blend::InvSrcAlpha, 0xFF4080C0},
    };
    for (const Case& c : cases) {
        b.device.clear(0xFF604020, 1.0f);
        b.device.setBlendEnable(false);
        b.draw(nullptr, 0xFF604020);
        b.device.setBlendEnable(true);
        b.device.setSrcBlend(c.src);
        b.device.setDestBlend(c.dst);
        b.draw(texture.get());
        EXPECT_EQ(b.shown(), c.expected) << static_cast<int>(c.src) << "," << static_cast<int>(c.dst);
    }
}

// Draws the same frame with and without the specialised pixel paths: colour and depth
// must agree to the bit.
template <typename DrawFrame>
void ExpectBothPathsAgree(const DrawFrame& drawFrame, const std::string& what) {
    Device fast(gfxtest::kWidth, gfxtest::kHeight), general(gfxtest::kWidth, gfxtest::kHeight);
    general.setFastPaths(false);
    drawFrame(fast);
    drawFrame(general);
    ASSERT_EQ(fast.depthBuffer(), general.depthBuffer()) << what;
    for (int y = 0; y < gfxtest::kHeight; ++y)
        for (int x = 0; x < gfxtest::kWidth; ++x)
            ASSERT_EQ(fast.backBuffer().pixel(x, y), general.backBuffer().pixel(x, y))
                << what << " at " << x << "," << y;
}

std::string hex(std::uint32_t value) {
    std::ostringstream out;
    out << std::hex << std::uppercase << value;
    return out.str();
}

std::unique_ptr<vemol::gfx::Texture> patternTexture() {
    return vemol::gfx::CreateTextureFromBitmap(gfxtest::makeBitmap(
        {64, 32}, [](int x, int y) { return static_cast<std::uint8_t>((x * 7) ^ (y * 13)); },
        [](int i) { return static_cast<std::uint32_t>(i * 0x010305u + 0x203040u) & 0xFFFFFFu; }));
}

// A busy frame as the game draws it.
TEST(Colour, SpecialisedPathsDrawExactlyWhatTheGeneralPathDraws) {
    const auto texture = patternTexture();
    ASSERT_TRUE(texture);
    ExpectBothPathsAgree(
        [&](Device& d) {
            gfxtest::setGameCamera(d);
            d.clear(0xFFFBEDB5, 1.0f);
            d.setTexture(texture.get());
            d.setWorld(gfxtest::translation(7.0f, 0.0f, -14.0f));
            d.drawMesh(gfxtest::squareMesh(35.0f, 0xFFFFFFFF));
            for (int i = 0; i < 12; ++i) {
                d.setWorld(gfxtest::placed(vemol::gfx::MatrixRotationY(0.5f * i), -22.0f + 4.0f * i,
                                           i % 3 == 0 ? 4.0f : 0.0f, -12.0f + 2.1f * i));
                d.setBlendEnable(i % 4 != 0);
                d.setSrcBlend(i % 2 ? Blend::SrcAlpha : Blend::Zero);
                d.setDestBlend(i % 2 ? Blend::One : (i % 3 ? Blend::InvSrcColor : Blend::DestColor));
                d.drawMesh(gfxtest::squareMesh(2.5f, i % 5 ? 0xFFFFFFFF : 0xFF80C040));
            }
            d.setBlendEnable(false);
            d.setWorld(gfxtest::placed(vemol::gfx::MatrixRotationX(0.6f), 3.0f, 2.0f, -3.0f));
            d.drawMesh(gfxtest::cubeMesh(3.0f, 0xFF40FF80));
            d.setWorld(gfxtest::placed(vemol::gfx::MatrixRotationX(-1.0f), 0.0f, 10.0f, 0.0f));
            d.drawMesh(gfxtest::squareMesh(6.0f, 0xFFFFFFFF));
            d.setWorld(gfxtest::placed(vemol::gfx::MatrixRotationX(-0.4f), -12.0f, 6.0f, 6.0f));
            d.drawMesh(gfxtest::squareMesh(5.0f, 0xFF80C040));  // tipped and tinted
            // Tipped with the picture running backwards along the rows and across its wrap.
            const gfxtest::Corner backwardsAcross[4] = {{-1.3f, 2.0f}, {-1.3f, -1.0f}, {2.2f, 2.0f}, {2.2f, -1.0f}};
            d.setWorld(gfxtest::placed(vemol::gfx::MatrixRotationX(-0.3f), 14.0f, 3.0f, 8.0f));
            d.drawMesh(gfxtest::squareMesh(6.0f, 0xFFFFFFFF, backwardsAcross));
        },
        "busy frame");
}

// Each half of a square drawn twice in a row, adding its light: the two halves of a
// square are filled together where their rows meet, but a pixel covered twice still
// gets the light twice.
TEST(Colour, ATriangleDrawnTwiceAddsTwiceOnBothPaths) {
    const auto texture = patternTexture();
    ASSERT_TRUE(texture);
    const vemol::gfx::Mesh square = gfxtest::squareMesh(8.0f, 0xFF404040);
    vemol::gfx::Mesh twice(4, 12);
    std::copy_n(square.vertices().begin(), 4, twice.lockVertices());
    const std::uint16_t indices[12] = {1, 0, 2, 1, 0, 2, 1, 2, 3, 1, 2, 3};
    std::copy_n(indices, 12, twice.lockIndices());
    ExpectBothPathsAgree(
        [&](Device& d) {
            gfxtest::setGameCamera(d);
            d.clear(0xFF203040, 1.0f);
            d.setTexture(texture.get());
            d.setBlendEnable(true);
            d.setSrcBlend(Blend::One);
            d.setDestBlend(Blend::One);
            d.drawMesh(twice);
        },
        "drawn twice");
}

// The device takes any blend pair with any vertex colour, even those the game never
// draws: a flat square tinted by a multiplying or a channel-masking colour over a
// patterned board, for every source and destination factor.
TEST(Colour, EveryBlendPairWithATintAgreesOnBothPaths) {
    const auto texture = patternTexture();
    ASSERT_TRUE(texture);
    for (int src = 0; src <= static_cast<int>(Blend::InvDestColor); ++src)
        for (int dst = 0; dst <= static_cast<int>(Blend::InvDestColor); ++dst)
            for (std::uint32_t tint : {0xFF808080u, 0xFF40C0FFu, 0xFF00FF00u}) {
                ExpectBothPathsAgree(
                    [&](Device& d) {
                        gfxtest::setGameCamera(d);
                        d.clear(0xFFFBEDB5, 1.0f);
                        d.setTexture(texture.get());
                        d.drawMesh(gfxtest::squareMesh(20.0f, 0xFFFFFFFF));
                        d.setBlendEnable(true);
                        d.setSrcBlend(static_cast<Blend>(src));
                        d.setDestBlend(static_cast<Blend>(dst));
                        d.setWorld(gfxtest::translation(1.0f, 0.0f, 2.0f));
                        d.drawMesh(gfxtest::squareMesh(12.0f, tint));
                    },
                    "blend " + std::to_string(src) + "," + std::to_string(dst) + " tint " + hex(tint));
                if (HasFatalFailure()) return;
            }
}

}  // namespace
