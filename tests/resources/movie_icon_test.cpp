// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The opening clip (AVI 115) and the icon (group 118, image 1).
#include "resources/decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace vemol::resources::testing {
namespace {

const Chunk& chunkNamed(const std::vector<Chunk>& chunks, const std::string& id, Bytes b,
                        const char* listType = nullptr) {
    for (const Chunk& c : chunks)
        if (c.id == id && (!listType || fourcc(b, c.offset) == listType)) return c;
    throw std::runtime_error("no chunk " + id + (listType ? std::string(" ") + listType : ""));
}

TEST(OpeningMovie, IsAnUncompressedEightBitClipOf166FramesAt36PerSecond) {
    Bytes b = mustFind("AVI", 115);
    EXPECT_EQ(b.size(), 2048000u);
    ASSERT_EQ(fourcc(b, 0), "RIFF");
    ASSERT_EQ(fourcc(b, 8), "AVI ");
    EXPECT_EQ(le32(b, 4), b.size() - 8);
    auto top = riffChunks(b, 12, b.size());
    const Chunk& hdrl = chunkNamed(top, "LIST", b, "hdrl");
    auto header = riffChunks(b, hdrl.offset + 4, hdrl.offset + hdrl.size);
    const Chunk& avih = chunkNamed(header, "avih", b);
    EXPECT_EQ(le32(b, avih.offset), 27778u);     // microseconds per frame
    EXPECT_EQ(le32(b, avih.offset + 16), 166u);  // frames
    EXPECT_EQ(le32(b, avih.offset + 24), 1u);    // one stream, no sound
    EXPECT_EQ(le32(b, avih.offset + 32), 128u);
    EXPECT_EQ(le32(b, avih.offset + 36), 96u);
    const Chunk& strl = chunkNamed(header, "LIST", b, "strl");
    auto stream = riffChunks(b, strl.offset + 4, strl.offset + strl.size);
    const Chunk& strh = chunkNamed(stream, "strh", b);
    EXPECT_EQ(fourcc(b, strh.offset), "vids");
    EXPECT_EQ(le32(b, strh.offset + 20), 1u);    // scale
    EXPECT_EQ(le32(b, strh.offset + 24), 36u);   // rate: 36 frames a second
    EXPECT_EQ(le32(b, strh.offset + 32), 166u);  // length
    const Chunk& strf = chunkNamed(stream, "strf", b);
    EXPECT_EQ(strf.size, 40u + 216u * 4u);
    EXPECT_EQ(le32(b, strf.offset), 40u);
    EXPECT_EQ(le32(b, strf.offset + 4), 128u);
    EXPECT_EQ(le32(b, strf.offset + 8), 96u);
    EXPECT_EQ(le16(b, strf.offset + 14), 8);
    EXPECT_EQ(le32(b, strf.offset + 16), 0u);    // BI_RGB
    EXPECT_EQ(le32(b, strf.offset + 32), 216u);  // colours used

    const Chunk& movi = chunkNamed(top, "LIST", b, "movi");
    auto frames = riffChunks(b, movi.offset + 4, movi.offset + movi.size);
    ASSERT_EQ(frames.size(), 166u);
    std::set<std::uint32_t> differentFrames;
    for (const Chunk& f : frames) {
        ASSERT_EQ(f.id, "00db");
        ASSERT_EQ(f.size, 128u * 96u);
        for (std::size_t i = 0; i < f.size; ++i) ASSERT_LT(b[f.offset + i], 216) << "index outside the palette";
        std::uint32_t hash = 2166136261u;
        for (std::size_t i = 0; i < f.size; ++i) hash = (hash ^ b[f.offset + i]) * 16777619u;
        differentFrames.insert(hash);
    }
    EXPECT_GT(differentFrames.size(), 60u);  // it moves

    const Chunk& idx1 = chunkNamed(top, "idx1", b);
    ASSERT_EQ(idx1.size, 166u * 16u);
    for (std::size_t i = 0; i < 166; ++i) {
        std::size_t entry = idx1.offset + 16 * i;
        EXPECT_EQ(fourcc(b, entry), "00db");
        // Offsets count from the 'movi' list type, and point at the chunk header.
        EXPECT_EQ(movi.offset + le32(b, entry + 8) + 8, frames[i].offset);
        EXPECT_EQ(le32(b, entry + 12), frames[i].size);
    }
}

TEST(Icon, GroupPointsAtOne16ColourImageOf32By32) {
    Bytes group = mustFind("GROUP_ICON", 118);
    ASSERT_EQ(group.size(), 20u);
    EXPECT_EQ(le16(group, 0), 0);
    EXPECT_EQ(le16(group, 2), 1);
    EXPECT_EQ(le16(group, 4), 1);
    EXPECT_EQ(group[6], 32);
    EXPECT_EQ(group[7], 32);
    EXPECT_EQ(group[8], 16);
    EXPECT_EQ(le16(group, 10), 1);
    EXPECT_EQ(le16(group, 12), 4);
    EXPECT_EQ(le32(group, 14), 744u);
    EXPECT_EQ(le16(group, 18), 1);

    Bytes image = mustFind("ICON", 1);
    ASSERT_EQ(image.size(), 744u);
    EXPECT_EQ(le32(image, 0), 40u);
    EXPECT_EQ(le32(image, 4), 32u);
    EXPECT_EQ(le32(image, 8), 64u);  // colour image and mask
    EXPECT_EQ(le16(image, 12), 1);
    EXPECT_EQ(le16(image, 14), 4);
    // The mask has both see-through and solid pixels, and solid pixels use several colours.
    Bytes mask = image.subspan(40 + 64 + 512, 128);
    int clear = 0;
    for (std::uint8_t m : mask) clear += __builtin_popcount(m);
    EXPECT_GT(clear, 50);
    EXPECT_LT(clear, 900);
    std::set<int> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool transparent = mask[y * 4 + x / 8] & (0x80 >> (x % 8));
            std::uint8_t pair = image[40 + 64 + y * 16 + x / 2];
            if (!transparent) colours.insert(x % 2 ? pair & 0xF : pair >> 4);
        }
    EXPECT_GE(colours.size(), 3u);
}

}  // namespace
}  // namespace vemol::resources::testing
