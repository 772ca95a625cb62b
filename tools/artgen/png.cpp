// PNG writing with a deflate compressor of our own (LZ77 over a 32 KiB window, the fixed
// Huffman codes), so the committed icons never depend on the machine's zlib build.
#include "tools/artgen/containers.h"

#include "tools/artgen/bytes.h"

#include <array>
#include <cstdlib>

namespace artgen {
namespace {

constexpr int kMinMatch = 3, kMaxMatch = 258, kWindow = 32768, kMaxChain = 128;

const std::array<int, 29> kLengthBase{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const std::array<int, 29> kLengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const std::array<int, 30> kDistanceBase{1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                        33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const std::array<int, 30> kDistanceExtra{0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Deflate packs bits from the least significant end; Huffman codes go most significant
// bit first.
class BitWriter {
public:
    void bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) put((value >> i) & 1);
    }
    void code(std::uint32_t value, int length) {
        for (int i = length - 1; i >= 0; --i) put((value >> i) & 1);
    }
    std::vector<std::uint8_t> finish() {
        if (used_) out_.push_back(current_);
        used_ = 0;
        return std::move(out_);
    }

private:
    void put(std::uint32_t bit) {
        current_ |= std::uint8_t(bit << used_);
        if (++used_ == 8) {
            out_.push_back(current_);
            current_ = 0, used_ = 0;
        }
    }
    std::vector<std::uint8_t> out_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

// The fixed literal/length code of deflate.
void writeSymbol(BitWriter& w, int symbol) {
    if (symbol < 144)
        w.code(0x30 + symbol, 8);
    else if (symbol < 256)
        w.code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.code(symbol - 256, 7);
    else
        w.code(0xC0 + symbol - 280, 8);
}

void writeMatch(BitWriter& w, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length) --l;
    writeSymbol(w, 257 + l);
    w.bits(std::uint32_t(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance) --d;
    w.code(std::uint32_t(d), 5);
    w.bits(std::uint32_t(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// One final fixed-code block: greedy longest matches found through hash chains.
std::vector<std::uint8_t> deflate(const std::vector<std::uint8_t>& data) {
    BitWriter w;
    w.bits(1, 1);  // final block
    w.bits(1, 2);  // fixed Huffman codes
    const int n = int(data.size());
    constexpr int kHashSize = 1 << 15;
    std::vector<int> head(kHashSize, -1), previous(std::size_t(n), -1);
    auto hashAt = [&](int i) { return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & (kHashSize - 1); };
    auto insert = [&](int i) {
        if (i + kMinMatch > n) return;
        int h = hashAt(i);
        previous[i] = head[h];
        head[h] = i;
    };
    int i = 0;
    while (i < n) {
        int bestLength = 0, bestDistance = 0;
        if (i + kMinMatch <= n) {
            int candidate = head[hashAt(i)];
            for (int chain = 0; candidate >= 0 && i - candidate <= kWindow && chain < kMaxChain; ++chain) {
                int length = 0;
                while (length < kMaxMatch && i + length < n && data[candidate + length] == data[i + length]) ++length;
                if (length > bestLength) bestLength = length, bestDistance = i - candidate;
                if (length == kMaxMatch) break;
                candidate = previous[candidate];
            }
        }
        if (bestLength >= kMinMatch) {
            writeMatch(w, bestLength, bestDistance);
            for (int k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            writeSymbol(w, data[i]);
            insert(i);
            ++i;
        }
    }
    writeSymbol(w, 256);  // end of block
    return w.finish();
}

std::uint32_t adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void writeChunk(ByteWriter& w, const char* type, const std::vector<std::uint8_t>& body) {
    ByteWriter chunk;
    chunk.tag(type);
    chunk.append(body);
    w.u32be(std::uint32_t(body.size()));
    w.append(chunk.bytes());
    w.u32be(crc32(chunk.bytes().data(), chunk.size()));
}

int paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
}

// Every row filtered with each of the five filters; the one with the smallest sum of
// absolute (signed) values is kept, the usual choice of PNG writers.
std::vector<std::uint8_t> filterRows(const RgbaImage& image) {
    const std::size_t stride = std::size_t(image.width) * 4;
    std::vector<std::uint8_t> out, zero(stride, 0), candidate(stride);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = image.rgba.data() + std::size_t(y) * stride;
        const std::uint8_t* up = y ? row - stride : zero.data();
        std::vector<std::uint8_t> best;
        long bestCost = -1;
        for (int filter = 0; filter < 5; ++filter) {
            long cost = 0;
            for (std::size_t x = 0; x < stride; ++x) {
                int a = x >= 4 ? row[x - 4] : 0, b = up[x], c = x >= 4 ? up[x - 4] : 0;
                int predicted = filter == 0   ? 0
                                : filter == 1 ? a
                                : filter == 2 ? b
                                : filter == 3 ? (a + b) / 2
                                              : paeth(a, b, c);
                candidate[x] = std::uint8_t(row[x] - predicted);
                cost += std::abs(int(std::int8_t(candidate[x])));
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                best.assign(1, std::uint8_t(filter));
                best.insert(best.end(), candidate.begin(), candidate.end());
            }
        }
        out.insert(out.end(), best.begin(), best.end());
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const RgbaImage& image) {
    ByteWriter w;
    w.tag("\x89PNG\r\n\x1A\n");  // signature
    ByteWriter header;
    header.u32be(std::uint32_t(image.width));
    header.u32be(std::uint32_t(image.height));
    for (int b : {8, 6, 0, 0, 0}) header.u8(std::uint32_t(b));  // 8-bit RGBA, deflate, adaptive filters, no interlace
    writeChunk(w, "IHDR", header.bytes());

    std::vector<std::uint8_t> raw = filterRows(image);
    ByteWriter zlib;
    zlib.u8(0x78);  // deflate with a 32 KiB window
    zlib.u8(0x01);  // no preset dictionary; makes the header a multiple of 31
    zlib.append(deflate(raw));
    zlib.u32be(adler32(raw));
    writeChunk(w, "IDAT", zlib.bytes());
    writeChunk(w, "IEND", {});
    return w.take();
}

}  // namespace artgen
