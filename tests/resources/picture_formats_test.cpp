// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Every bitmap has exactly the catalogue's format: header, size, palette, rows.
#include "resources/decode.h"

#include <gtest/gtest.h>

namespace vemol::resources::testing {
namespace {

struct ExpectedBitmap {
    const char* name;
    int width, height;
    std::size_t bytes;
};
const ExpectedBitmap kBitmaps[] = {
    {"SAI", 256, 256, 66600},     {"BG", 512, 512, 263208}, {"OPENING", 512, 512, 263208}, {"BOMBA", 128, 128, 17448},
    {"EFFECT", 640, 480, 308264}, {"S10", 32, 32, 2088},    {"S20", 36, 32, 2216},         {"S30", 32, 32, 2088},
    {"S40", 32, 32, 2088},        {"S50", 33, 32, 2216},    {"S60", 32, 32, 2088},
};

TEST(PictureFormats, EveryBitmapIsAnEightBitDibOfItsCatalogueSize) {
    for (const ExpectedBitmap& want : kBitmaps) {
        SCOPED_TRACE(want.name);
        Bytes bytes = mustFind("BITMAP", want.name);
        EXPECT_EQ(bytes.size(), want.bytes);
        Picture p = decodePicture(bytes);
        EXPECT_EQ(p.width, want.width);
        EXPECT_EQ(p.height, want.height);  // positive: bottom-up rows
        EXPECT_EQ(p.planes, 1);
        EXPECT_EQ(p.compression, 0u);
        EXPECT_EQ(p.coloursUsed, 0u);  // a full 256-entry palette follows
        EXPECT_TRUE(p.paletteReservedZero);
        EXPECT_EQ(le32(bytes, 20), std::uint32_t((want.width + 3) / 4 * 4 * want.height));
        // Row padding holds zeros.
        const std::size_t stride = (want.width + 3) / 4 * 4;
        for (int row = 0; row < want.height; ++row)
            for (std::size_t pad = want.width; pad < stride; ++pad) ASSERT_EQ(bytes[1064 + row * stride + pad], 0);
    }
}

}  // namespace
}  // namespace vemol::resources::testing
