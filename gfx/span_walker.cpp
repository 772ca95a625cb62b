// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gfx/triangle.h"

namespace vemol::gfx::detail {

// Each sloped edge bounds its row at floor(M / D) (right edges) or -floor(M / D) (left
// edges, a ceiling in disguise), where M = K(py) - bias grows by 256 dX from row to row
// and D = 256 |dY|.
SpanWalker::SpanWalker(const Setup& setup) : xMin_(setup.xMin), xMax_(setup.xMax) {
    for (const Edge& e : setup.edges) {
        if (e.dY == 0) {
            flat_[flatCount_++] = &e;
            continue;
        }
        const bool left = e.dY < 0;
        const std::int64_t divisor = 256 * (left ? -e.dY : e.dY);
        const std::int64_t k = e.dX * (std::int64_t{setup.yMin} * 256 - e.y0) + e.dY * e.x0;
        // Left edges want ceil((bias - K) / D) = -floor((K - bias) / D).
        const std::int64_t m = k - e.bias;
        const std::int64_t step = 256 * e.dX;
        Bound& b = bounds_[boundCount_++];
        b.divisor = divisor;
        b.quotient = FloorDiv(m, divisor);
        b.remainder = m - b.quotient * divisor;
        b.stepQuotient = FloorDiv(step, divisor);
        b.stepRemainder = step - b.stepQuotient * divisor;
        b.left = left;
    }
}

}  // namespace vemol::gfx::detail
