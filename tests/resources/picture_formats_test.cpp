// Every bitmap has exactly the catalogue's format: header, size, palette, rows.
#include "resources/decode.h"

#include <gtest/gtest.h>

namespace vemol::resources::testing {
namespace {

struct BitmapSpec {
    const char* name;
    int width, height;
    std::size_t bytes;
};
const BitmapSpec kBitmaps[] = {
    {"SAI", 256, 256, 66600},  {"BG", 512, 512, 263208}, {"OPENING", 512, 512, 263208}, {"BOMBA", 128, 128, 17448},
    {"EFFECT", 640, 480, 308264}, {"S10", 32, 32, 2088}, {"S20", 36, 32, 2216},          {"S30", 32, 32, 2088},
    {"S40", 32, 32, 2088},     {"S50", 33, 32, 2216},    {"S60", 32, 32, 2088},
};

TEST(PictureFormats, EveryBitmapIsAnEightBitDibOfItsCatalogueSize) {
    for (const BitmapSpec& spec : kBitmaps) {
        SCOPED_TRACE(spec.name);
        Bytes bytes = mustFind("BITMAP", spec.name);
        EXPECT_EQ(bytes.size(), spec.bytes);
        Picture p = decodePicture(bytes);
        EXPECT_EQ(p.width, spec.width);
        EXPECT_EQ(p.height, spec.height);  // positive: bottom-up rows
        EXPECT_EQ(p.planes, 1);
        EXPECT_EQ(p.compression, 0u);
        EXPECT_EQ(p.coloursUsed, 0u);      // a full 256-entry palette follows
        EXPECT_TRUE(p.paletteReservedZero);
        EXPECT_EQ(le32(bytes, 20), std::uint32_t((spec.width + 3) / 4 * 4 * spec.height));
        // Row padding holds zeros.
        const std::size_t stride = (spec.width + 3) / 4 * 4;
        for (int row = 0; row < spec.height; ++row)
            for (std::size_t pad = spec.width; pad < stride; ++pad) ASSERT_EQ(bytes[1064 + row * stride + pad], 0);
    }
}

}  // namespace
}  // namespace vemol::resources::testing
