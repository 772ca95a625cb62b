#pragma once
// The rows of the back buffer that may have been written since the last frame was
// presented. A row not named holds exactly what it held then, so whoever shows the frames
// need not look at it again: on the title screen that is nearly every row.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gfx {

class ChangedRows {
public:
    // Before the first present every row counts as changed: nothing was shown yet.
    explicit ChangedRows(int height) : rows_(static_cast<std::size_t>(std::max(height, 0)), 1) {}

    int height() const { return static_cast<int>(rows_.size()); }
    bool changed(int y) const { return rows_[static_cast<std::size_t>(y)] != 0; }

    // Rows [top, bottom), clipped to the buffer.
    void mark(int top, int bottom) {
        top = std::clamp(top, 0, height());
        bottom = std::clamp(bottom, top, height());
        std::fill(rows_.begin() + top, rows_.begin() + bottom, std::uint8_t{1});
    }
    void markAll() { std::fill(rows_.begin(), rows_.end(), std::uint8_t{1}); }
    void forgetAll() { std::fill(rows_.begin(), rows_.end(), std::uint8_t{0}); }

private:
    std::vector<std::uint8_t> rows_;
};

}  // namespace gfx
