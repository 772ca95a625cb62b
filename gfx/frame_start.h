// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start of a frame: the clear and the first draw after it. Every frame of the title
// screen, of play and of the break-up starts by clearing and drawing the same
// full-window backdrop, so the colour and depth buffers that start leaves are kept and
// put back when exactly the same start comes again, instead of drawn afresh.
//
// Putting back is done in cells of the screen, and only where needed: a cell nothing
// has drawn over since the kept start was last put back still holds it.
#include <cstdint>
#include <vector>

#include "gfx/device.h"

namespace vemol::gfx::detail {

// Everything the result of a clear and one draw depends on.
struct FrameStart {
    std::uint32_t clearColour = 0;
    float clearDepth = 0.0f;
    std::vector<QuadVertex> vertices;
    std::vector<std::uint16_t> indices;
    Matrix world, view, projection;
    RenderState state;
    const Texture* texture = nullptr;
    std::uint64_t textureVersion = 0;
    bool fastPaths = true;

    bool operator==(const FrameStart& other) const;
};

class FrameStartCache {
public:
    static constexpr int kCellWidth = 32, kCellHeight = 16;

    // Puts the kept result back into the buffers when `start` is the kept one, and marks
    // the rows it put back in `changed`.
    bool restore(const FrameStart& start, Surface& colour, std::uint16_t* depth, ChangedRows& changed);
    // After `start` was drawn afresh: keeps its result once the same start has come twice
    // in a row, so frames that change every time (the title tipping away) pay no copy.
    void drawn(const FrameStart& start, const Surface& colour, const std::uint16_t* depth);
    // A triangle is about to draw inside `area`: the cells there will need putting back.
    void willDraw(const Rect& area);
    // The buffers were cleared afresh or written by something else: what they hold is no
    // longer known cell by cell.
    void forget() { tracking_ = false; }

private:
    enum class Cell : std::uint8_t { Kept, Drawn };
    void putBackDrawn(int cellRow, Surface& colour, std::uint16_t* depth, ChangedRows& changed);
    void putBack(int cellRow, int firstColumn, int endColumn, Surface& colour, std::uint16_t* depth) const;

    FrameStart previous_, kept_;
    bool hasPrevious_ = false, hasKept_ = false;
    std::vector<std::uint8_t> keptColour_;
    std::vector<std::uint16_t> keptDepth_;
    bool keptDepthEven_ = false;  // one depth everywhere: put back by filling, not copying
    // While tracking, the buffers hold the kept start in every Kept cell.
    bool tracking_ = false;
    int columns_ = 0, rows_ = 0;
    std::vector<Cell> cells_;
};

}  // namespace vemol::gfx::detail
