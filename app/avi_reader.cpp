// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/avi_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vemol {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::size_t kAvihSize = 56;
constexpr std::size_t kStrhMinSize = 48;
constexpr std::size_t kBitmapInfoHeaderSize = 40;
constexpr int kMaxListDepth = 4;

std::uint32_t Le32(Bytes b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

std::uint16_t Le16(Bytes b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }

bool HasFourCc(Bytes b, std::size_t at, const char* fourCc) {
    return b.size() >= at + 4 && std::memcmp(b.data() + at, fourCc, 4) == 0;
}

struct Chunk {
    Bytes id;    // four bytes
    Bytes body;  // for a LIST: the list type followed by the list's chunks
    bool is(const char* fourCc) const { return std::memcmp(id.data(), fourCc, 4) == 0; }
    bool isList(const char* listType) const { return is("LIST") && HasFourCc(body, 0, listType); }
    Bytes listBody() const { return body.subspan(4); }
};

// Steps through the chunks of one RIFF list. A chunk that claims more bytes than its
// list holds is an error; a missing pad byte after the last chunk is tolerated.
class ChunkWalker {
public:
    explicit ChunkWalker(Bytes body) : rest_(body) {}

    bool next(Chunk& chunk) {
        if (rest_.size() < 8) return false;  // the end, or a few stray bytes before it
        const std::uint32_t size = Le32(rest_, 4);
        if (size > rest_.size() - 8) {
            error_ = "chunk '" + FourCcText(rest_) + "' runs past the end of the file";
            return false;
        }
        chunk.id = rest_.first(4);
        chunk.body = rest_.subspan(8, size);
        if (chunk.is("LIST") && size < 4) {
            error_ = "LIST chunk without a list type";
            return false;
        }
        const std::size_t advance = std::min<std::size_t>(8 + std::size_t(size) + (size & 1), rest_.size());
        rest_ = rest_.subspan(advance);
        return true;
    }
    const std::string& error() const { return error_; }

private:
    static std::string FourCcText(Bytes b) {
        std::string text;
        for (int i = 0; i < 4; ++i) text += (b[i] >= 0x20 && b[i] < 0x7F) ? char(b[i]) : '?';
        return text;
    }

    Bytes rest_;
    std::string error_;
};

struct Parse {
    AviClip clip;
    std::uint32_t headerMicroSeconds = 0;  // avih dwMicroSecPerFrame
    std::uint32_t streamScale = 0;         // strh dwScale and dwRate of the video stream
    std::uint32_t streamRate = 0;
    int videoStream = -1;
    int streamCount = 0;
    Bytes movi;
    bool haveMovi = false;
    std::string error;

    bool fail(std::string why) {
        if (error.empty()) error = std::move(why);
        return false;
    }
};

bool ReadBitmapFormat(Parse& p, Bytes strf) {
    if (strf.size() < kBitmapInfoHeaderSize) return p.fail("video format cut short");
    const std::uint32_t headerSize = Le32(strf, 0);
    const auto width = static_cast<std::int32_t>(Le32(strf, 4));
    const auto height = static_cast<std::int32_t>(Le32(strf, 8));
    const std::uint16_t bitCount = Le16(strf, 14);
    const std::uint32_t compression = Le32(strf, 16);
    const std::uint32_t coloursUsed = Le32(strf, 32);

    if (headerSize < kBitmapInfoHeaderSize || headerSize > strf.size())
        return p.fail("video format header has a bad size");
    if (bitCount != 8) return p.fail("frames are not 8 bits per pixel");
    if (compression != kBiRgb && compression != kBiRle8) return p.fail("frames are neither uncompressed nor RLE8");
    // Compared as 64-bit values so that -2^31 cannot overflow on negation.
    const std::int64_t rows = std::abs(std::int64_t(height));
    if (width <= 0 || width > AviClip::kMaxDimension || rows == 0 || rows > AviClip::kMaxDimension)
        return p.fail("frame size out of range");
    if (coloursUsed > 256) return p.fail("palette has more than 256 colours");

    const std::size_t paletteSize = coloursUsed == 0 ? 256 : coloursUsed;
    if (paletteSize * 4 > strf.size() - headerSize) return p.fail("palette cut short");

    AviClip& clip = p.clip;
    clip.width = width;
    clip.height = static_cast<int>(rows);
    clip.bottomUp = height > 0;
    clip.compression = compression == kBiRle8 ? AviCompression::Rle8 : AviCompression::Uncompressed;
    clip.palette.clear();
    for (std::size_t i = 0; i < paletteSize; ++i) {
        const std::size_t at = headerSize + 4 * i;  // RGBQUAD: blue, green, red, reserved
        clip.palette.push_back(std::uint32_t(strf[at + 2]) << 16 | std::uint32_t(strf[at + 1]) << 8 | strf[at]);
    }
    return true;
}

// One 'strl' list: the stream header and its format. Only the first video stream counts.
bool ReadStreamList(Parse& p, Bytes list) {
    const int streamIndex = p.streamCount++;
    Bytes strh, strf;
    bool haveStrh = false, haveStrf = false;
    ChunkWalker walker(list);
    for (Chunk c; walker.next(c);) {
        if (c.is("strh") && !haveStrh) strh = c.body, haveStrh = true;
        if (c.is("strf") && !haveStrf) strf = c.body, haveStrf = true;
    }
    if (!walker.error().empty()) return p.fail(walker.error());
    if (!haveStrh || p.videoStream >= 0 || !HasFourCc(strh, 0, "vids")) return true;
    if (strh.size() < kStrhMinSize) return p.fail("video stream header cut short");
    if (!haveStrf) return p.fail("video stream has no format");
    if (streamIndex > 99) return p.fail("too many streams");
    p.videoStream = streamIndex;
    p.streamScale = Le32(strh, 20);
    p.streamRate = Le32(strh, 24);
    return ReadBitmapFormat(p, strf);
}

bool ReadHeaderList(Parse& p, Bytes list) {
    ChunkWalker walker(list);
    for (Chunk c; walker.next(c);) {
        if (c.is("avih")) {
            if (c.body.size() < kAvihSize) return p.fail("main header cut short");
            p.headerMicroSeconds = Le32(c.body, 0);
        } else if (c.isList("strl")) {
            if (!ReadStreamList(p, c.listBody())) return false;
        }
    }
    return walker.error().empty() || p.fail(walker.error());
}

// Collects the video stream's frame chunks ("NNdb", "NNdc"), descending into 'rec '
// groups. Palette changes ("NNpc") and other streams are passed over.
bool CollectFrames(Parse& p, Bytes list, int depth) {
    const char tens = char('0' + p.videoStream / 10), units = char('0' + p.videoStream % 10);
    ChunkWalker walker(list);
    for (Chunk c; walker.next(c);) {
        if (c.isList("rec ")) {
            if (depth >= kMaxListDepth) return p.fail("'rec ' lists nested too deeply");
            if (!CollectFrames(p, c.listBody(), depth + 1)) return false;
            continue;
        }
        const bool ours = c.id[0] == tens && c.id[1] == units;
        if (!ours || c.id[2] != 'd' || (c.id[3] != 'b' && c.id[3] != 'c')) continue;
        if (p.clip.frameCount() >= AviClip::kMaxFrames) return p.fail("too many frames");
        p.clip.frames.push_back({p.clip.frameData.size(), c.body.size()});
        p.clip.frameData.insert(p.clip.frameData.end(), c.body.begin(), c.body.end());
    }
    return walker.error().empty() || p.fail(walker.error());
}

bool ReadTopLevel(Parse& p, Bytes riffBody) {
    bool haveHeader = false;
    ChunkWalker walker(riffBody);
    for (Chunk c; walker.next(c);) {
        if (c.isList("hdrl") && !haveHeader) {
            haveHeader = true;
            if (!ReadHeaderList(p, c.listBody())) return false;
        } else if (c.isList("movi") && !p.haveMovi) {
            p.haveMovi = true;
            p.movi = c.listBody();
        }
    }
    if (!walker.error().empty()) return p.fail(walker.error());
    if (!haveHeader) return p.fail("no header list");
    if (p.videoStream < 0) return p.fail("no video stream");
    if (!p.haveMovi) return p.fail("no movie data");
    return true;
}

bool SetFrameDuration(Parse& p) {
    std::uint64_t micro = p.headerMicroSeconds;
    if (micro == 0 && p.streamScale != 0 && p.streamRate != 0)
        micro = (std::uint64_t(p.streamScale) * 1000000 + p.streamRate / 2) / p.streamRate;
    if (micro == 0) return p.fail("no frame rate");
    p.clip.microSecondsPerFrame = static_cast<std::uint32_t>(std::min<std::uint64_t>(micro, UINT32_MAX));
    return true;
}

// An uncompressed frame must hold every row; the last row's padding may be missing.
bool CheckFrameSizes(Parse& p) {
    if (p.clip.frames.empty()) return p.fail("no frames");
    if (p.clip.compression != AviCompression::Uncompressed) return true;
    const std::size_t stride = (std::size_t(p.clip.width) + 3) & ~std::size_t(3);
    const std::size_t needed = stride * (std::size_t(p.clip.height) - 1) + std::size_t(p.clip.width);
    for (const AviClip::FrameChunk& frame : p.clip.frames)
        if (frame.size != 0 && frame.size < needed) return p.fail("frame cut short");
    return true;
}

}  // namespace

AviReadResult ReadAviClip(std::span<const std::uint8_t> bytes) {
    AviReadResult result;
    if (bytes.size() < 12 || !HasFourCc(bytes, 0, "RIFF") || !HasFourCc(bytes, 8, "AVI ")) {
        result.error = "not a RIFF AVI file";
        return result;
    }
    const std::uint32_t riffSize = Le32(bytes, 4);
    if (riffSize < 4 || riffSize > bytes.size() - 8) {
        result.error = "the file is cut short";
        return result;
    }
    Parse p;
    const Bytes riffBody = bytes.subspan(12, riffSize - 4);
    if (ReadTopLevel(p, riffBody) && CollectFrames(p, p.movi, 0) && SetFrameDuration(p) && CheckFrameSizes(p))
        result.clip = std::move(p.clip);
    else
        result.error = p.error;
    return result;
}

AviFrameDecoder::AviFrameDecoder(const AviClip& clip)
    : clip_(clip), pixels_(std::size_t(clip.width) * std::size_t(clip.height), 0) {
    const std::size_t count = std::min<std::size_t>(clip.palette.size(), 256);
    std::copy_n(clip.palette.begin(), count, colours_);
}

void AviFrameDecoder::advanceTo(int index) {
    if (clip_.frames.empty()) return;
    index = std::clamp(index, 0, clip_.frameCount() - 1);
    if (index == current_) return;
    if (index < current_) {
        std::fill(pixels_.begin(), pixels_.end(), 0u);
        current_ = -1;
    }
    for (int i = firstFrameToDecode(current_ + 1, index); i <= index; ++i) decodeFrame(i);
    current_ = index;
}

// A complete uncompressed frame paints every pixel, so frames before it need no work.
int AviFrameDecoder::firstFrameToDecode(int from, int to) const {
    if (clip_.compression != AviCompression::Uncompressed) return from;
    for (int i = to; i > from; --i)
        if (clip_.frames[std::size_t(i)].size != 0) return i;
    return from;
}

void AviFrameDecoder::decodeFrame(int index) {
    const auto data = clip_.frame(index);
    if (data.empty()) return;  // a repeated frame
    if (clip_.compression == AviCompression::Rle8)
        decodeRle8(data);
    else
        decodeUncompressed(data);
}

void AviFrameDecoder::putPixel(int x, int storedRow, std::uint8_t colourIndex) {
    const int row = clip_.bottomUp ? clip_.height - 1 - storedRow : storedRow;
    pixels_[std::size_t(row) * std::size_t(clip_.width) + std::size_t(x)] = colours_[colourIndex];
}

void AviFrameDecoder::decodeUncompressed(std::span<const std::uint8_t> data) {
    const std::size_t width = std::size_t(clip_.width);
    const std::size_t stride = (width + 3) & ~std::size_t(3);
    for (int y = 0; y < clip_.height; ++y) {
        const std::size_t at = std::size_t(y) * stride;
        if (at + width > data.size()) return;  // ReadAviClip rejects such frames already
        for (int x = 0; x < clip_.width; ++x) putPixel(x, y, data[at + std::size_t(x)]);
    }
}

// Deliberate difference: damaged-clip.
// RLE8 as in 8-bit DIBs: (count, colour) runs; a zero count is an escape: 0 ends the row,
// 1 ends the picture, 2 moves right and up by the next two bytes, 3..255 is that many
// literal colours padded to a 16-bit boundary. Pixels that fall outside the picture are
// dropped and running out of data ends the frame, as a forgiving player does.
void AviFrameDecoder::decodeRle8(std::span<const std::uint8_t> data) {
    const int width = clip_.width, height = clip_.height;
    std::size_t at = 0;
    int x = 0, y = 0;
    while (at + 2 <= data.size() && y < height) {
        const int count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int n = 0; n < count && x < width; ++n, ++x) putPixel(x, y, std::uint8_t(value));
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (at + 2 > data.size()) return;
            x = std::min(x + data[at], width);
            y += data[at + 1];
            at += 2;
        } else {
            const std::size_t literal = std::min<std::size_t>(std::size_t(value), data.size() - at);
            for (std::size_t n = 0; n < literal && x < width; ++n, ++x) putPixel(x, y, data[at + n]);
            at += std::size_t(value) + (value & 1);
        }
    }
}

}  // namespace vemol
