// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/avi_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "clip_builder.h"
#include "resources/catalogue.h"

namespace vemol {
namespace {

using test::BuildClip;
using test::ByteVector;
using test::ClipLayout;
using test::PackRows;
using test::TestPalette;

// Decodes every frame of a clip, in order.
std::vector<std::vector<std::uint32_t>> DecodeAll(const AviClip& clip) {
    std::vector<std::vector<std::uint32_t>> frames;
    AviFrameDecoder decoder(clip);
    for (int i = 0; i < clip.frameCount(); ++i) {
        decoder.advanceTo(i);
        frames.push_back(decoder.pixels());
    }
    return frames;
}

AviClip ReadOrFail(const ByteVector& bytes) {
    AviReadResult result = ReadAviClip(bytes);
    EXPECT_TRUE(result.clip) << result.error;
    return result.clip ? *result.clip : AviClip{};
}

TEST(AviReader, ReadsTheEmbeddedOpeningClip) {
    const auto bytes = resources::Catalogue::embedded().find("AVI", 115);
    ASSERT_TRUE(bytes) << "AVI 115 is not embedded";
    const AviReadResult result = ReadAviClip(*bytes);
    ASSERT_TRUE(result.clip) << result.error;
    const AviClip& clip = *result.clip;
    EXPECT_EQ(clip.width, 128);
    EXPECT_EQ(clip.height, 96);
    EXPECT_EQ(clip.frameCount(), 166);
    EXPECT_EQ(clip.palette.size(), 216u);
    EXPECT_EQ(clip.microSecondsPerFrame, 27778u);
    EXPECT_EQ(clip.compression, AviCompression::Uncompressed);

    // Every pixel of every frame is a palette colour, and the clip actually moves.
    const auto frames = DecodeAll(clip);
    std::vector<std::uint32_t> palette = clip.palette;
    std::sort(palette.begin(), palette.end());
    for (const auto& frame : frames)
        for (std::uint32_t pixel : frame) ASSERT_TRUE(std::binary_search(palette.begin(), palette.end(), pixel));
    EXPECT_NE(frames.front(), frames.back());
}

TEST(AviReader, UncompressedFramesComeOutTopDownWhateverTheStoredRowOrder) {
    const std::vector<ByteVector> rows = {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}};
    for (bool bottomUp : {true, false}) {
        ClipLayout layout;
        layout.width = 5;
        layout.height = bottomUp ? 3 : -3;
        layout.palette = TestPalette(16);
        layout.frames = {PackRows(rows, bottomUp)};
        const AviClip clip = ReadOrFail(BuildClip(layout));
        ASSERT_EQ(clip.height, 3);
        const auto frames = DecodeAll(clip);
        ASSERT_EQ(frames.size(), 1u);
        std::vector<std::uint32_t> expected;
        for (const auto& row : rows)
            for (std::uint8_t index : row) expected.push_back(layout.palette[index]);
        EXPECT_EQ(frames[0], expected) << (bottomUp ? "bottom-up" : "top-down");
    }
}

TEST(AviReader, FollowsRecGroupsOtherStreamsPaletteChangesAndTheStreamRate) {
    ClipLayout layout;
    layout.width = 3;
    layout.height = 1;
    layout.palette = TestPalette(4);
    layout.frames = {PackRows({{0, 1, 2}}), PackRows({{3, 3, 3}}), {}};
    layout.audioStreamFirst = true;
    layout.recLists = true;
    layout.paletteChanges = true;
    layout.microSecondsPerFrame = 0;  // falls back to scale / rate
    layout.scale = 1;
    layout.rate = 15;
    const AviClip clip = ReadOrFail(BuildClip(layout));
    EXPECT_EQ(clip.frameCount(), 3);
    EXPECT_EQ(clip.microSecondsPerFrame, 66667u);
    const auto frames = DecodeAll(clip);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], (std::vector<std::uint32_t>{layout.palette[0], layout.palette[1], layout.palette[2]}));
    EXPECT_EQ(frames[1], std::vector<std::uint32_t>(3, layout.palette[3]));
    EXPECT_EQ(frames[2], frames[1]) << "an empty chunk repeats the previous frame";
}

TEST(AviReader, PaletteSizeFollowsColoursUsedAndZeroMeansAll256) {
    ClipLayout layout;
    layout.width = 1;
    layout.height = 1;
    layout.frames = {PackRows({{0}})};
    layout.palette = TestPalette(256);
    layout.coloursUsed = 0;
    EXPECT_EQ(ReadOrFail(BuildClip(layout)).palette.size(), 256u);
    layout.coloursUsed = 216;
    layout.palette = TestPalette(216);
    const AviClip clip = ReadOrFail(BuildClip(layout));
    EXPECT_EQ(clip.palette, layout.palette);
}

// Frame 0 is a key frame built from runs and literals; frame 1 changes two pixels by
// moving there with a delta and leaves the rest of the picture alone.
TEST(AviReader, DecodesRle8RunsLiteralsDeltasAndRowEnds) {
    ClipLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.compression = 1;
    layout.palette = TestPalette(16);
    const ByteVector key = {5, 1,  0, 0,                 // bottom row: five of colour 1, end of row
                            2, 2,  0, 3, 3, 4, 5, 0,     // middle row: two of 2, then literals 3 4 5 (padded)
                            0, 0,                        // end of row
                            0, 4,  6, 7, 8, 9,           // top row: literals 6 7 8 9 (even, no pad)
                            9, 10,                       // a run past the row's end is cut off at the edge
                            0, 1};                       // end of picture
    const ByteVector delta = {0, 2, 1, 1, 2, 11, 0, 1};  // one right, one up, two of 11
    layout.frames = {key, delta, {0, 1}};
    const AviClip clip = ReadOrFail(BuildClip(layout));
    const auto frames = DecodeAll(clip);
    ASSERT_EQ(frames.size(), 3u);

    auto picture = [&](const std::vector<std::vector<int>>& rowsTopDown) {
        std::vector<std::uint32_t> out;
        for (const auto& row : rowsTopDown)
            for (int index : row) out.push_back(layout.palette[std::size_t(index)]);
        return out;
    };
    EXPECT_EQ(frames[0], picture({{6, 7, 8, 9, 10}, {2, 2, 3, 4, 5}, {1, 1, 1, 1, 1}}));
    EXPECT_EQ(frames[1], picture({{6, 7, 8, 9, 10}, {2, 11, 11, 4, 5}, {1, 1, 1, 1, 1}}));
    EXPECT_EQ(frames[2], frames[1]) << "an empty picture changes nothing";
}

TEST(AviReader, SeekingForwardAndBackGivesTheSamePicturesAsPlayingInOrder) {
    for (std::uint32_t compression : {0u, 1u}) {
        ClipLayout layout;
        layout.width = 6;
        layout.height = 2;
        layout.compression = compression;
        layout.palette = TestPalette(32);
        for (std::uint8_t i = 0; i < 12; ++i) {
            if (compression == 0)
                layout.frames.push_back(i % 4 == 3 ? ByteVector{} : PackRows({ByteVector(6, i), ByteVector(6, i + 1)}));
            else  // paints one pixel per frame; the rest stays from earlier frames
                layout.frames.push_back({0, 2, std::uint8_t(i % 6), std::uint8_t(i % 2), 1, i, 0, 1});
        }
        const AviClip clip = ReadOrFail(BuildClip(layout));
        const auto inOrder = DecodeAll(clip);
        ASSERT_EQ(inOrder.size(), 12u);
        AviFrameDecoder decoder(clip);
        for (int target : {5, 11, 2, 2, 7, 0, 11}) {
            decoder.advanceTo(target);
            EXPECT_EQ(decoder.currentFrame(), target);
            EXPECT_EQ(decoder.pixels(), inOrder[std::size_t(target)]) << "frame " << target;
        }
    }
}

TEST(AviReader, RejectsClipsItCannotShowWithAReason) {
    ClipLayout good;
    good.width = 4;
    good.height = 2;
    good.palette = TestPalette(8);
    good.frames = {PackRows({{0, 1, 2, 3}, {4, 5, 6, 7}})};
    ASSERT_TRUE(ReadAviClip(BuildClip(good)).clip);

    struct Case {
        const char* what;
        void (*change)(ClipLayout&);
    };
    const Case cases[] = {
        {"16-bit frames", [](ClipLayout& s) { s.bitCount = 16; }},
        {"unknown compression", [](ClipLayout& s) { s.compression = 2; }},
        {"zero width", [](ClipLayout& s) { s.width = 0; }},
        {"width over the limit", [](ClipLayout& s) { s.width = AviClip::kMaxDimension + 1; }},
        {"most negative height", [](ClipLayout& s) { s.height = INT32_MIN; }},
        {"palette over 256", [](ClipLayout& s) { s.palette = TestPalette(257); }},
        {"palette shorter than its count", [](ClipLayout& s) { s.coloursUsed = 9; }},
        {"no frames", [](ClipLayout& s) { s.frames.clear(); }},
        {"frame short of a row", [](ClipLayout& s) { s.frames[0].resize(4); }},
        {"no frame rate", [](ClipLayout& s) { s.microSecondsPerFrame = 0, s.rate = 0; }},
    };
    for (const Case& c : cases) {
        ClipLayout layout = good;
        c.change(layout);
        const AviReadResult result = ReadAviClip(BuildClip(layout));
        EXPECT_FALSE(result.clip) << c.what;
        EXPECT_FALSE(result.error.empty()) << c.what;
    }
    const ByteVector notAvi = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    EXPECT_FALSE(ReadAviClip(notAvi).clip);
    EXPECT_FALSE(ReadAviClip({}).clip);
}

// Damaged clips: every way of cutting the file short (with the RIFF size left as it was,
// and patched to the cut so the damage reaches the inner chunks), and single-byte
// corruption everywhere. None may crash or read outside the clip; the sanitizer build
// checks the latter.
std::vector<ByteVector> DamageSamples() {
    ClipLayout plain;
    plain.width = 5;
    plain.height = 3;
    plain.palette = TestPalette(10);
    plain.frames = {PackRows({{1, 2, 3, 4, 5}, {6, 7, 8, 9, 0}, {1, 1, 1, 1, 1}}), {}};
    plain.recLists = true;
    ClipLayout rle = plain;
    rle.compression = 1;
    rle.frames = {{5, 1, 0, 0, 0, 3, 2, 3, 4, 0, 0, 2, 1, 1, 2, 7, 0, 1}, {0, 1}};
    rle.audioStreamFirst = true;
    return {BuildClip(plain), BuildClip(rle)};
}

void ReadAndPlayAll(const ByteVector& bytes) {
    const AviReadResult result = ReadAviClip(bytes);
    if (!result.clip) {
        EXPECT_FALSE(result.error.empty());
        return;
    }
    const auto frames = DecodeAll(*result.clip);
    EXPECT_EQ(frames.size(), std::size_t(result.clip->frameCount()));
}

TEST(AviReader, SurvivesEveryTruncation) {
    for (const ByteVector& full : DamageSamples()) {
        for (std::size_t length = 0; length < full.size(); ++length) {
            ByteVector cut(full.begin(), full.begin() + std::ptrdiff_t(length));
            EXPECT_FALSE(ReadAviClip(cut).clip) << "RIFF size no longer fits at length " << length;
            if (length >= 8) {
                const std::uint32_t size = std::uint32_t(length - 8);
                for (int i = 0; i < 4; ++i) cut[4 + std::size_t(i)] = std::uint8_t(size >> (8 * i));
            }
            ReadAndPlayAll(cut);
        }
    }
}

TEST(AviReader, SurvivesCorruptedBytes) {
    for (const ByteVector& original : DamageSamples()) {
        for (std::size_t at = 0; at < original.size(); ++at) {
            for (std::uint8_t value : {0x00, 0x01, 0x02, 0x7F, 0x80, 0xFF}) {
                ByteVector bytes = original;
                bytes[at] = value;
                ReadAndPlayAll(bytes);
            }
            ByteVector flipped = original;
            flipped[at] ^= 0xFF;
            ReadAndPlayAll(flipped);
        }
    }
}

}  // namespace
}  // namespace vemol
