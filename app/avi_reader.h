// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reader for the opening clip: a RIFF AVI with one video stream of 8-bit palettized
// frames, stored uncompressed or run-length encoded (RLE8). Every size in the file is
// checked against the bytes that are really there, so a damaged clip is reported, never
// read out of bounds.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vemol {

enum class AviCompression { Uncompressed, Rle8 };

// The parsed clip. It keeps its own copy of the frame chunks, so it does not depend on
// the bytes it was read from.
struct AviClip {
    static constexpr int kMaxDimension = 4096;
    static constexpr int kMaxFrames = 100000;

    int width = 0;
    int height = 0;
    bool bottomUp = true;  // rows stored bottom row first (positive biHeight)
    AviCompression compression = AviCompression::Uncompressed;
    std::uint32_t microSecondsPerFrame = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, biClrUsed entries (256 when 0)

    struct FrameChunk {
        std::size_t offset = 0;  // into frameData
        std::size_t size = 0;    // 0: the previous frame again
    };
    std::vector<FrameChunk> frames;
    std::vector<std::uint8_t> frameData;  // every frame chunk, one after another

    int frameCount() const { return static_cast<int>(frames.size()); }
    std::span<const std::uint8_t> frame(int index) const {
        const FrameChunk& f = frames[std::size_t(index)];
        return std::span(frameData).subspan(f.offset, f.size);
    }
};

struct AviReadResult {
    std::optional<AviClip> clip;
    std::string error;  // why the clip could not be read, when clip is empty
};

AviReadResult ReadAviClip(std::span<const std::uint8_t> bytes);

// Turns frames into 0x00RRGGBB pixels, rows top-down. Decoding is sequential because a
// run-length frame may skip pixels (delta escapes) that keep the previous frame's
// colour; an empty chunk repeats the previous frame.
class AviFrameDecoder {
public:
    explicit AviFrameDecoder(const AviClip& clip);

    // Brings the picture to frame `index` (clamped to the clip), decoding the frames in
    // between as needed. Going backwards restarts from the first frame.
    void advanceTo(int index);
    int currentFrame() const { return current_; }  // -1 before the first advance
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

private:
    void decodeFrame(int index);
    void decodeUncompressed(std::span<const std::uint8_t> data);
    void decodeRle8(std::span<const std::uint8_t> data);
    void putPixel(int x, int storedRow, std::uint8_t colourIndex);
    int firstFrameToDecode(int from, int to) const;

    const AviClip& clip_;
    std::uint32_t colours_[256] = {};
    std::vector<std::uint32_t> pixels_;
    int current_ = -1;
};

}  // namespace vemol
