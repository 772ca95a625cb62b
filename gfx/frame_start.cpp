// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gfx/frame_start.h"

#include <algorithm>
#include <cstring>

namespace vemol::gfx::detail {
namespace {

// Bit for bit, so a NaN equals itself and 0 differs from -0: equal bits draw equally.
template <typename T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool SameState(const RenderState& a, const RenderState& b) {
    return a.zEnable == b.zEnable && a.zWrite == b.zWrite && a.zFunc == b.zFunc && a.cull == b.cull &&
           a.blendEnable == b.blendEnable && a.srcBlend == b.srcBlend && a.destBlend == b.destBlend;
}

}  // namespace

bool FrameStart::operator==(const FrameStart& o) const {
    static_assert(sizeof(QuadVertex) == 9 * 4, "vertices compare as plain bytes");
    return clearColour == o.clearColour && SameBits(clearDepth, o.clearDepth) && texture == o.texture &&
           textureVersion == o.textureVersion && fastPaths == o.fastPaths && SameState(state, o.state) &&
           SameBits(world, o.world) && SameBits(view, o.view) && SameBits(projection, o.projection) &&
           indices == o.indices && vertices.size() == o.vertices.size() &&
           std::memcmp(vertices.data(), o.vertices.data(), vertices.size() * sizeof(QuadVertex)) == 0;
}

bool FrameStartCache::restore(const FrameStart& start, Surface& colour, std::uint16_t* depth, ChangedRows& changed) {
    if (!hasKept_ || !(start == kept_) ||
        keptColour_.size() != static_cast<std::size_t>(colour.pitch()) * colour.height())
        return false;
    if (!tracking_) std::fill(cells_.begin(), cells_.end(), Cell::Drawn);
    for (int row = 0; row < rows_; ++row) putBackDrawn(row, colour, depth, changed);
    tracking_ = true;
    return true;
}

void FrameStartCache::drawn(const FrameStart& start, const Surface& colour, const std::uint16_t* depth) {
    tracking_ = false;
    if (hasPrevious_ && start == previous_ && !(hasKept_ && start == kept_)) {
        kept_ = start;
        keptColour_.assign(colour.data(), colour.data() + static_cast<std::size_t>(colour.pitch()) * colour.height());
        keptDepth_.assign(depth, depth + static_cast<std::size_t>(colour.width()) * colour.height());
        keptDepthEven_ = !keptDepth_.empty() && std::all_of(keptDepth_.begin(), keptDepth_.end(),
                                                            [&](std::uint16_t d) { return d == keptDepth_.front(); });
        hasKept_ = true;
        columns_ = (colour.width() + kCellWidth - 1) / kCellWidth;
        rows_ = (colour.height() + kCellHeight - 1) / kCellHeight;
        cells_.assign(static_cast<std::size_t>(columns_) * rows_, Cell::Kept);
        tracking_ = true;
    }
    previous_ = start;
    hasPrevious_ = true;
}

void FrameStartCache::willDraw(const Rect& area) {
    if (!tracking_) return;
    const int firstColumn = std::max(area.left, 0) / kCellWidth;
    const int endColumn = std::min((area.right + kCellWidth - 1) / kCellWidth, columns_);
    const int endRow = std::min((area.bottom + kCellHeight - 1) / kCellHeight, rows_);
    if (firstColumn >= endColumn) return;
    for (int row = std::max(area.top, 0) / kCellHeight; row < endRow; ++row) {
        Cell* cells = &cells_[static_cast<std::size_t>(row) * columns_];
        std::fill(cells + firstColumn, cells + endColumn, Cell::Drawn);
    }
}

// Run by run of drawn cells; a run across the whole width is one block of memory.
void FrameStartCache::putBackDrawn(int cellRow, Surface& colour, std::uint16_t* depth, ChangedRows& changed) {
    Cell* cells = &cells_[static_cast<std::size_t>(cellRow) * columns_];
    for (int column = 0; column < columns_;) {
        if (cells[column] != Cell::Drawn) {
            ++column;
            continue;
        }
        int end = column + 1;
        while (end < columns_ && cells[end] == Cell::Drawn) ++end;
        putBack(cellRow, column, end, colour, depth);
        changed.mark(column * kCellWidth, cellRow * kCellHeight, end * kCellWidth, (cellRow + 1) * kCellHeight);
        std::fill(cells + column, cells + end, Cell::Kept);
        column = end;
    }
}

void FrameStartCache::putBack(int cellRow, int firstColumn, int endColumn, Surface& colour,
                              std::uint16_t* depth) const {
    const int left = firstColumn * kCellWidth, right = std::min(endColumn * kCellWidth, colour.width());
    const int top = cellRow * kCellHeight, bottom = std::min(top + kCellHeight, colour.height());
    const int pixelBytes = BytesPerPixel(colour.format());
    const bool wholeRows = left == 0 && right == colour.width();
    const int rowCount = wholeRows ? 1 : bottom - top;
    const int rowWidth = wholeRows ? colour.width() * (bottom - top) : right - left;
    std::uint8_t* const pixels = colour.data();
    for (int y = top; y < top + rowCount; ++y) {
        const std::size_t colourAt =
            static_cast<std::size_t>(y) * colour.pitch() + static_cast<std::size_t>(left) * pixelBytes;
        std::memcpy(pixels + colourAt, keptColour_.data() + colourAt, static_cast<std::size_t>(rowWidth) * pixelBytes);
        const std::size_t depthAt = static_cast<std::size_t>(y) * colour.width() + left;
        if (keptDepthEven_)
            std::fill_n(depth + depthAt, rowWidth, keptDepth_.front());
        else
            std::memcpy(depth + depthAt, keptDepth_.data() + depthAt, sizeof(std::uint16_t) * rowWidth);
    }
}

}  // namespace vemol::gfx::detail
