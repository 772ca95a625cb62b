// The heads-up display: digits, labels, menu words and gauge blocks copied pixel by pixel
// from the sprite sheet straight into the back buffer, skipping the sheet's blue
// background. No 3D pipeline: whatever is drawn after the HUD covers it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "game/operations.h"
#include "render/passes.h"

namespace vemol {

namespace {

// Sprite sheet regions (top-left corners on the sheet).
constexpr int kGaugeBlockA = 0;      // light yellow block at (0, 0)
constexpr int kGaugeBlockB = 45;     // darker yellow block at (45, 0)
constexpr int kBlockSize = 44;
constexpr int kRedDigitsY = 43;      // play digits at (16 d, 43)
constexpr int kYellowDigitsY = 58;   // title digits at (16 d, 58)
constexpr int kDigitWidth = 16;
constexpr int kDigitHeight = 24;
constexpr int kDigitCount = 5;

// Every copied rectangle leaves out its last three columns and rows.
constexpr int kUncopiedEdge = 3;

// The sheet's background is pure blue, which the copy leaves out.
bool IsTransparent16(std::uint16_t pixel) { return (pixel & 0xFFu) == 0x1Fu; }
bool IsTransparent32(std::uint32_t pixel) { return (pixel & 0x00FFFFFFu) == 0x000000FFu; }

std::uint32_t ReadPixel(const std::uint8_t* row, int x, gfx::Format format) {
    if (format == gfx::Format::R5G6B5) {
        std::uint16_t p;
        std::memcpy(&p, row + 2 * x, sizeof p);
        return p;
    }
    std::uint32_t p;
    std::memcpy(&p, row + 4 * x, sizeof p);
    return p;
}

void WritePixel(std::uint8_t* row, int x, gfx::Format format, std::uint32_t value) {
    if (format == gfx::Format::R5G6B5) {
        const std::uint16_t p = static_cast<std::uint16_t>(value);
        std::memcpy(row + 2 * x, &p, sizeof p);
    } else {
        std::memcpy(row + 4 * x, &value, sizeof value);
    }
}

// A sheet pixel in the back buffer's format, or nothing (false) when it is see-through.
// The sheet is made in the back buffer's format; should they ever differ, the pixel is
// converted first and the destination's rule applies.
bool SheetPixelFor(gfx::Format sheet, gfx::Format target, std::uint32_t in, std::uint32_t& out) {
    if (sheet != target)
        in = target == gfx::Format::R5G6B5 ? gfx::toR5G6B5(in) : gfx::fromR5G6B5(static_cast<std::uint16_t>(in));
    out = in;
    return target == gfx::Format::R5G6B5 ? !IsTransparent16(static_cast<std::uint16_t>(in)) : !IsTransparent32(in);
}

bool IsTransparent(std::uint16_t pixel) { return IsTransparent16(pixel); }
bool IsTransparent(std::uint32_t pixel) { return IsTransparent32(pixel); }

// One row of a copy between surfaces of the same format, the sheet's background left out.
template <typename Pixel>
void CopyRow(const std::uint8_t* fromRow, std::uint8_t* toRow, int fromX, int toX, int count) {
    for (int q = 0; q < count; ++q) {
        Pixel pixel;
        std::memcpy(&pixel, fromRow + sizeof(Pixel) * (fromX + q), sizeof pixel);
        if (!IsTransparent(pixel)) std::memcpy(toRow + sizeof(Pixel) * (toX + q), &pixel, sizeof pixel);
    }
}

void CopyConvertedRow(const std::uint8_t* fromRow, gfx::Format fromFormat, std::uint8_t* toRow,
                      gfx::Format toFormat, int fromX, int toX, int count) {
    for (int q = 0; q < count; ++q) {
        std::uint32_t pixel;
        if (SheetPixelFor(fromFormat, toFormat, ReadPixel(fromRow, fromX + q, fromFormat), pixel))
            WritePixel(toRow, toX + q, toFormat, pixel);
    }
}

// Shows the last five digits of a value, least significant first, each a w x h copy.
// A negative value (only a corrupt best-score file can give one) shows its magnitude's
// digits: the remainder of a negative value is negative and would point left of digit 0.
void DrawNumber(GameState& g, std::int32_t value, int sheetY, int rightX, int y) {
    for (int n = 0; n < kDigitCount; ++n) {
        const int digit = std::abs(value % 10);
        value /= 10;
        BlitSprite(g, kDigitWidth, kDigitHeight, kDigitWidth * digit, sheetY, rightX - kDigitWidth * n, y);
    }
}

// Block column k's left edge and gauge row i's top edge, in double precision as the
// layout was first worked out, truncated toward zero.
int GaugeX(int k) { return static_cast<int>(37.6 * k); }

int GaugeY(int i) {
    const double y0 = std::floor(39.4 * (i + 1));
    if (i >= 3 && i <= 8) return static_cast<int>(y0);
    return static_cast<int>((i - 6.2) * 0.6 + y0);
}

void DrawGauges(GameState& g) {
    for (int i = 0; i < kColumns; ++i) {
        for (int k = 0; k < kGaugeCells; ++k) {
            if (!CountDownGaugeCell(g, i, k)) continue;
            const int sheetX = (i % 2 == k % 2) ? kGaugeBlockB : kGaugeBlockA;  // a checkerboard
            BlitSprite(g, kBlockSize, kBlockSize, sheetX, 0, GaugeX(k), GaugeY(i));
            TestGaugeEnd(g, k);
        }
    }
}

void DrawPlayHud(GameState& g) {
    const std::int32_t shownBest = std::max(g.bestScore, g.score);
    DrawNumber(g, g.score, kRedDigitsY, 600, 150);
    DrawNumber(g, shownBest, kRedDigitsY, 600, 230);
    DrawGauges(g);
}

void DrawTitleHud(GameState& g) {
    const std::int32_t shownBest = std::max(g.bestScore, g.score);
    DrawNumber(g, g.score, kYellowDigitsY, 209, 360);
    DrawNumber(g, shownBest, kYellowDigitsY, 494, 360);
    BlitSprite(g, 400, 40, 0, 92, 150, 330);   // the labels Score and HiScore
    BlitSprite(g, 100, 110, 0, 124, 290, 320); // Start, Send, Exit
    BlitSprite(g, 150, 40, 0, 240, 268, 329 + 37 * g.menuSelection);  // the selection marker
}

}  // namespace

void BlitSprite(GameState& g, int width, int height, int sx, int sy, int dx, int dy) {
    if (!g.spriteSheet || !g.device) return;
    gfx::Surface& sheet = *g.spriteSheet;
    gfx::Surface& target = g.device->backBuffer();

    // The copied part of the rectangle, clipped so that only pixels inside both the
    // sheet and the back buffer are touched (offsets q, r relative to the rectangle).
    const int qBegin = std::max({0, -sx, -dx});
    const int rBegin = std::max({0, -sy, -dy});
    const int qEnd = std::min({width - kUncopiedEdge, sheet.width() - sx, target.width() - dx});
    const int rEnd = std::min({height - kUncopiedEdge, sheet.height() - sy, target.height() - dy});
    if (qBegin >= qEnd || rBegin >= rEnd) return;

    const gfx::LockedRect from = sheet.lock();
    const gfx::LockedRect to = target.lock();
    if (from.bits && to.bits) {
        for (int r = rBegin; r < rEnd; ++r) {
            const std::uint8_t* fromRow = from.bits + static_cast<std::ptrdiff_t>(sy + r) * from.pitch;
            std::uint8_t* toRow = to.bits + static_cast<std::ptrdiff_t>(dy + r) * to.pitch;
            if (sheet.format() != target.format())
                CopyConvertedRow(fromRow, sheet.format(), toRow, target.format(), sx + qBegin, dx + qBegin, qEnd - qBegin);
            else if (target.format() == gfx::Format::R5G6B5)
                CopyRow<std::uint16_t>(fromRow, toRow, sx + qBegin, dx + qBegin, qEnd - qBegin);
            else
                CopyRow<std::uint32_t>(fromRow, toRow, sx + qBegin, dx + qBegin, qEnd - qBegin);
        }
    }
    sheet.unlock();
    target.unlock();
}

void DrawHud(GameState& g) {
    if (g.playing == 1)
        DrawPlayHud(g);
    else
        DrawTitleHud(g);
}

}  // namespace vemol
