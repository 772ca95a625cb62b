// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Bitmaps into textures and surfaces, the 16-bit format, locking and copying surfaces.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx/keyed_copy.h"
#include "scene.h"

namespace {

using vemol::gfx::Format;
using gfxtest::BitmapLayout;
using gfxtest::makeBitmap;

std::uint8_t diagonal(int x, int y) { return static_cast<std::uint8_t>(x + 10 * y); }
std::uint32_t greyRamp(int i) { return static_cast<std::uint32_t>(i) * 0x010101u; }
std::uint32_t paletteOf(std::uint8_t index) { return 0xFF000000u | greyRamp(index); }

TEST(Bitmap, RowsArePaddedStoredBottomUpAndScaledToPowersOfTwo) {
    const auto dib = makeBitmap({3, 2}, diagonal, greyRamp);  // 3 wide: one padding byte a row
    const auto texture = vemol::gfx::CreateTextureFromBitmap(dib);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->width(), 4);
    EXPECT_EQ(texture->height(), 2);
    const int sourceColumn[4] = {0, 1, 1, 2};  // nearest picture column for each texel
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(texture->level0().pixel(x, y), paletteOf(diagonal(sourceColumn[x], y))) << x << "," << y;

    BitmapLayout topDown{3, 2};
    topDown.topDown = true;
    const auto flipped = vemol::gfx::CreateTextureFromBitmap(makeBitmap(topDown, diagonal, greyRamp));
    ASSERT_TRUE(flipped);
    EXPECT_EQ(flipped->level0().pixel(3, 1), paletteOf(diagonal(2, 1)));
}

TEST(Bitmap, NarrowPointPicturesAreStretchedToSixtyFourByThirtyTwo) {
    for (int width : {36, 33, 32}) {
        const auto texture = vemol::gfx::CreateTextureFromBitmap(makeBitmap({width, 32}, diagonal, greyRamp));
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->width(), width == 32 ? 32 : 64);
        EXPECT_EQ(texture->height(), 32);
        EXPECT_EQ(texture->format(), Format::X8R8G8B8);
        const int last = texture->width() - 1;
        EXPECT_EQ(texture->level0().pixel(0, 5), paletteOf(diagonal(0, 5)));
        EXPECT_EQ(texture->level0().pixel(last, 5), paletteOf(diagonal(width - 1, 5)));
    }
    const auto big = vemol::gfx::CreateTextureFromBitmap(makeBitmap({512, 512}, diagonal, greyRamp));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->width(), 512);
    EXPECT_EQ(big->level0().pixel(7, 9), paletteOf(diagonal(7, 9)));
}

TEST(Bitmap, SmallPalettesAndSixteenBitTextures) {
    BitmapLayout layout{4, 4};
    layout.paletteSize = layout.storedColours = 16;
    const auto dib = makeBitmap(
        layout, [](int x, int y) { return static_cast<std::uint8_t>(x + 4 * y); },
        [](int i) { return i == 5 ? 0x0000FFu : 0xFF8000u; });
    const auto texture = vemol::gfx::CreateTextureFromBitmap(dib, Format::R5G6B5);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->format(), Format::R5G6B5);
    EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(texture->level0().data())[5], 0x001F);
    EXPECT_EQ(texture->level0().pixel(1, 1), 0xFF0000FFu);
}

TEST(Bitmap, MalformedBytesAreRejectedWithoutReadingPastThem) {
    const std::vector<std::uint8_t> good = makeBitmap({5, 3}, diagonal, greyRamp);
    ASSERT_TRUE(vemol::gfx::CreateTextureFromBitmap(good));
    auto patched = [&](std::size_t at, std::uint32_t value, int bytes) {
        std::vector<std::uint8_t> dib = good;
        for (int i = 0; i < bytes; ++i) dib[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return dib;
    };
    std::vector<std::vector<std::uint8_t>> bad = {
        {},
        std::vector<std::uint8_t>(good.begin(), good.begin() + 39),         // short header
        std::vector<std::uint8_t>(good.begin(), good.end() - 1),            // short last row
        std::vector<std::uint8_t>(good.begin(), good.begin() + 40 + 1000),  // short palette
        patched(0, 12, 4),                                                  // an older, smaller header
        patched(0, 0xFFFFFF00u, 4),                                         // header larger than the data
        patched(4, 0, 4),                                                   // no width
        patched(4, 0xFFFFFFFBu, 4),                                         // negative width
        patched(4, 1u << 30, 4),                                            // width far past the data
        patched(8, 0, 4),                                                   // no height
        patched(8, 0x80000000u, 4),                                         // the most negative height
        patched(12, 2, 2),                                                  // planes
        patched(14, 24, 2),                                                 // not 8 bits a pixel
        patched(14, 4, 2),
        patched(16, 1, 4),    // run-length compressed
        patched(32, 257, 4),  // more colours than 8 bits can index
    };
    BitmapLayout fewColours{5, 3};
    fewColours.paletteSize = fewColours.storedColours = 4;
    bad.push_back(makeBitmap(fewColours, diagonal, greyRamp));  // indices past the palette
    for (std::size_t i = 0; i < bad.size(); ++i) {
        EXPECT_FALSE(vemol::gfx::CreateTextureFromBitmap(bad[i])) << "case " << i;
        vemol::gfx::Surface surface(8, 8, Format::X8R8G8B8);
        EXPECT_FALSE(vemol::gfx::LoadSurfaceFromBitmap(surface, bad[i])) << "case " << i;
        EXPECT_EQ(surface.pixel(0, 0), 0xFF000000u) << "case " << i << " wrote into the surface";
    }
}

TEST(Bitmap, RandomlyDamagedBitmapsAreEitherRejectedOrDecodedWhole) {
    const std::vector<std::uint8_t> good = makeBitmap({7, 5}, diagonal, greyRamp);
    std::uint32_t state = 12345;
    auto next = [&state] { return state = state * 1103515245u + 12345u, state >> 8; };
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> dib = good;
        const int damage = 1 + static_cast<int>(next() % 4);
        for (int k = 0; k < damage; ++k) dib[next() % 48] = static_cast<std::uint8_t>(next());
        if (next() % 3 == 0) dib.resize(next() % dib.size());
        const auto texture = vemol::gfx::CreateTextureFromBitmap(dib);
        if (!texture) continue;
        // Whatever was accepted has power-of-two sides.
        EXPECT_EQ(texture->width() & (texture->width() - 1), 0);
        EXPECT_EQ(texture->height() & (texture->height() - 1), 0);
    }
}

TEST(Surface, SpriteSheetIsCopiedOneToOneAndPureBlueStaysPureBlue) {
    // A picture smaller than the sheet on a pure blue ground, with one coloured pixel.
    const auto dib = makeBitmap(
        {20, 10}, [](int x, int y) { return static_cast<std::uint8_t>(x == 3 && y == 2 ? 1 : 0); },
        [](int i) { return i == 1 ? 0xFFC020u : 0x0000FFu; });
    vemol::gfx::Surface sheet16(640, 480, Format::R5G6B5);
    ASSERT_TRUE(vemol::gfx::LoadSurfaceFromBitmap(sheet16, dib));
    const auto* pixels = reinterpret_cast<const std::uint16_t*>(sheet16.data());
    EXPECT_EQ(pixels[0], 0x001F);
    EXPECT_EQ(pixels[19 + 9 * 640], 0x001F);
    EXPECT_EQ(pixels[3 + 2 * 640], vemol::gfx::ToR5G6B5(0xFFFFC020));
    EXPECT_EQ(pixels[20], 0x0000);  // beyond the picture: untouched
    vemol::gfx::Surface sheet32(640, 480, Format::X8R8G8B8);
    ASSERT_TRUE(vemol::gfx::LoadSurfaceFromBitmap(sheet32, dib));
    EXPECT_EQ(sheet32.pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(sheet32.pixel(3, 2), 0xFFFFC020u);
    vemol::gfx::Surface tiny(4, 4, Format::X8R8G8B8);  // a picture larger than the surface is cut
    ASSERT_TRUE(vemol::gfx::LoadSurfaceFromBitmap(tiny, dib));
    EXPECT_EQ(tiny.pixel(3, 2), 0xFFFFC020u);
}

TEST(Surface, SixteenBitConversions) {
    EXPECT_EQ(vemol::gfx::ToR5G6B5(0xFF0000FF), 0x001F);
    EXPECT_EQ(vemol::gfx::ToR5G6B5(0xFFFF0000), 0xF800);
    EXPECT_EQ(vemol::gfx::ToR5G6B5(0xFF00FF00), 0x07E0);
    EXPECT_EQ(vemol::gfx::ToR5G6B5(0xFFFFFFFF), 0xFFFF);
    for (int p = 0; p < 0x10000; ++p)
        ASSERT_EQ(vemol::gfx::ToR5G6B5(vemol::gfx::FromR5G6B5(static_cast<std::uint16_t>(p))), p);
    EXPECT_EQ(vemol::gfx::FromR5G6B5(0x001F), 0xFF0000FFu);
}

TEST(Surface, LockGivesTheRectanglesCornerWithTheSurfacePitch) {
    vemol::gfx::Surface s(10, 6, Format::R5G6B5);
    EXPECT_EQ(s.pitch(), 20);
    vemol::gfx::LockedRect whole = s.lock();
    ASSERT_NE(whole.bits, nullptr);
    EXPECT_EQ(whole.pitch, 20);
    vemol::gfx::LockedRect part = s.lock({3, 2, 6, 5});
    ASSERT_EQ(part.bits, whole.bits + 2 * 20 + 3 * 2);
    reinterpret_cast<std::uint16_t*>(part.bits + part.pitch)[1] = 0xF800;
    EXPECT_EQ(s.pixel(4, 3), 0xFFFF0000u);
    // A rectangle hanging over the edge locks the part inside; one wholly outside fails.
    EXPECT_EQ(s.lock({8, 4, 14, 9}).bits, whole.bits + 4 * 20 + 8 * 2);
    EXPECT_EQ(s.lock({-2, -3, 2, 2}).bits, whole.bits);
    EXPECT_EQ(s.lock({10, 0, 12, 6}).bits, nullptr);
    EXPECT_EQ(s.lock({4, 4, 4, 5}).bits, nullptr);
}

TEST(Surface, CaptureCopiesTheBackBufferIntoTheTextureCorner) {
    vemol::gfx::Device device(632, 453);
    for (int y = 0; y < device.height(); ++y)
        for (int x = 0; x < device.width(); ++x)
            reinterpret_cast<std::uint32_t*>(device.backBuffer().lock().bits)[y * 632 + x] =
                0xFF000000u | static_cast<std::uint32_t>(x * 1000 + y);
    vemol::gfx::Texture capture(1024, 1024, device.format());
    vemol::gfx::Device::copyRect(device.backBuffer(), {0, 0, 632, 453}, capture.level0(), 0, 0);
    EXPECT_EQ(capture.level0().pixel(0, 0), device.backBuffer().pixel(0, 0));
    EXPECT_EQ(capture.level0().pixel(631, 452), device.backBuffer().pixel(631, 452));
    EXPECT_EQ(capture.level0().pixel(317, 200), device.backBuffer().pixel(317, 200));
    EXPECT_EQ(capture.level0().pixel(632, 0), 0xFF000000u);
    EXPECT_EQ(capture.level0().pixel(0, 453), 0xFF000000u);

    // Clipped to both surfaces, wherever the rectangle and the target point lie.
    vemol::gfx::Surface small(4, 4, Format::X8R8G8B8);
    vemol::gfx::Device::copyRect(device.backBuffer(), {628, 449, 640, 460}, small, 1, 1);
    EXPECT_EQ(small.pixel(1, 1), device.backBuffer().pixel(628, 449));
    EXPECT_EQ(small.pixel(3, 3), device.backBuffer().pixel(630, 451));
    EXPECT_EQ(small.pixel(0, 0), 0xFF000000u);
    vemol::gfx::Device::copyRect(device.backBuffer(), {10, 10, 20, 20}, small, -8, -8);
    EXPECT_EQ(small.pixel(0, 0), device.backBuffer().pixel(18, 18));
    EXPECT_EQ(small.pixel(1, 1), device.backBuffer().pixel(19, 19));
    EXPECT_EQ(small.pixel(2, 2), device.backBuffer().pixel(629, 450));  // from the first copy
}

// The keyed copy reads raw stored bits, which mean different colours in the two formats:
// it refuses the pair rather than guess.
TEST(Surface, KeyedCopyRefusesSurfacesOfDifferingFormats) {
    vemol::gfx::Surface from(4, 4, Format::X8R8G8B8), to(4, 4, Format::R5G6B5);
    std::memset(from.data(), 0x5A, static_cast<std::size_t>(from.pitch()) * 4);
    EXPECT_FALSE(vemol::gfx::CopyRectKeyed(from, {0, 0, 4, 4}, to, 0, 0, {0xFFFFFFu, 0xFFu}));
    EXPECT_EQ(to.pixel(1, 1), vemol::gfx::FromR5G6B5(0));
}

TEST(Device, FrameBracketClearsAndPresents) {
    vemol::gfx::Device device(632, 453, Format::R5G6B5);
    int shown = 0;
    const vemol::gfx::Surface* presented = nullptr;
    device.setPresentHandler([&](const vemol::gfx::Surface& s, const vemol::gfx::ChangedRows&) {
        ++shown;
        presented = &s;
    });
    device.clear(0xFFFBEDB5, 1.0f);
    device.beginScene();
    device.endScene();
    device.present();
    device.present();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(device.presentCount(), 2u);
    EXPECT_EQ(presented, &device.backBuffer());
    EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(device.backBuffer().data())[631 + 452 * 632],
              vemol::gfx::ToR5G6B5(0xFFFBEDB5));
    EXPECT_EQ(device.depthBuffer().back(), 65535);
}

TEST(Device, SixteenBitBackBufferDrawsTheSamePictureInFewerBits) {
    const auto texture = vemol::gfx::CreateTextureFromBitmap(makeBitmap({16, 16}, diagonal, greyRamp));
    auto draw = [&](vemol::gfx::Device& d) {
        gfxtest::setGameCamera(d);
        d.clear(0xFFFBEDB5, 1.0f);
        d.setTexture(texture.get());
        d.setWorld(vemol::gfx::MatrixRotationY(0.3f));
        d.drawMesh(gfxtest::squareMesh(10.0f, 0xFFFFC080));
    };
    vemol::gfx::Device wide(160, 120), narrow(160, 120, Format::R5G6B5);
    draw(wide);
    draw(narrow);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            ASSERT_EQ(narrow.backBuffer().pixel(x, y),
                      vemol::gfx::FromR5G6B5(vemol::gfx::ToR5G6B5(wide.backBuffer().pixel(x, y))));
}

}  // namespace
