// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parts of the back buffer's rows that may have been written since the last frame was
// presented: one span of columns per band of kBandRows rows (a triangle marks a few bands
// rather than every row it covers). What lies outside them holds exactly what it held
// then, so whoever shows the frames need not look at it again: on the title screen that
// is nearly everything, in play all but the dice and the HUD's figures.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vemol::gfx {

class ChangedRows {
public:
    // Columns [left, right) of one row; empty when left >= right.
    struct Span {
        int left = 0, right = 0;
        bool empty() const { return left >= right; }
    };

    static constexpr int kBandRows = 8;

    // Before the first present everything counts as changed: nothing was shown yet.
    ChangedRows(int width, int height)
        : width_(std::max(width, 0)),
          height_(std::max(height, 0)),
          spans_(static_cast<std::size_t>((height_ + kBandRows - 1) / kBandRows), Span{0, width_}) {}

    int width() const { return width_; }
    int height() const { return height_; }
    // The columns of row y that may have been written.
    Span span(int y) const { return spans_[static_cast<std::size_t>(y / kBandRows)]; }

    // The rectangle [left, right) x [top, bottom), clipped to the buffer.
    void mark(int left, int top, int right, int bottom) {
        left = std::clamp(left, 0, width_);
        right = std::clamp(right, left, width_);
        top = std::clamp(top, 0, height());
        bottom = std::clamp(bottom, top, height());
        if (left == right || top == bottom) return;
        for (int band = top / kBandRows; band <= (bottom - 1) / kBandRows; ++band) {
            Span& s = spans_[static_cast<std::size_t>(band)];
            s = s.empty() ? Span{left, right} : Span{std::min(s.left, left), std::max(s.right, right)};
        }
    }
    void markAll() { std::fill(spans_.begin(), spans_.end(), Span{0, width_}); }
    void forgetAll() { std::fill(spans_.begin(), spans_.end(), Span{}); }

private:
    int width_, height_;
    std::vector<Span> spans_;
};

}  // namespace vemol::gfx
