// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gfx/tipped_span.h"

namespace vemol::gfx::detail {
namespace {

struct TippedRow {
    std::uint32_t* colour;
    std::uint16_t* depth;
    std::int64_t z, zx;
    double uq, uStep, oneOverQ;
    const std::uint32_t* texRow;
};

// The same steps as the general filler: u / w stepped by addition from the span's first
// pixel, multiplied by 1 / w, scaled to texels and floored.
template <bool Tinted>
void FillTippedRow(TippedRow& r, const Sampler& sampler, std::uint32_t colour, int x0, int x1) {
    const double width = sampler.width;
    const auto mask = static_cast<std::uint32_t>(sampler.widthMask);
    for (int x = x0; x <= x1; ++x, r.z += r.zx, r.uq += r.uStep) {
        const int depth = QuantizeDepth(r.z);
        if (depth > r.depth[x]) continue;
        r.depth[x] = static_cast<std::uint16_t>(depth);
        const auto tx = static_cast<std::uint32_t>(FloorToInt(r.uq * r.oneOverQ * width));
        std::uint32_t texel = r.texRow[tx & mask] | 0xFF000000u;
        if constexpr (Tinted) texel = Modulate(texel, colour);
        r.colour[x] = texel | 0xFF000000u;
    }
}

// True when every pixel of the row's next `count` needs neither of the general filler's
// clamps: the depth stays within the 16-bit range (it is exact and linear, so its two
// ends tell), and the texel column u / w x width stays at or above zero and far below
// FloorToInt's limit, so its floor is a plain truncation. u / w comes from repeated
// additions, so a falling one is bounded with a wide margin for their rounding (at most
// 2^-53 of the largest value each).
bool PlainRow(const TippedRow& r, int count, double width) {
    constexpr std::int64_t kDepthTop = std::int64_t{65536} << kDepthFractionBits;
    const std::int64_t zLast = r.z + r.zx * (count - 1);
    if (r.z < 0 || r.z >= kDepthTop || zLast < 0 || zLast >= kDepthTop) return false;
    const double texelsPerUq = r.oneOverQ * width;
    if (!(texelsPerUq > 0.0 && texelsPerUq < 1.0e300 && r.uq >= 0.0)) return false;  // also NaN
    const bool rising = r.uStep >= 0.0;
    const double uLast = r.uq + r.uStep * (count - 1);
    const double margin = 1.0e-6 * (r.uq + (rising ? r.uStep : -r.uStep) * count);
    if (!rising && !(uLast >= margin)) return false;
    return (rising ? uLast + margin : r.uq) * texelsPerUq < 1.0e12;
}

// One pixel of a plain row, then the row steps on. Scaling by the power-of-two width
// is exact, so folding it into 1 / w gives the same product.
template <bool Tinted>
inline void PlainPixel(TippedRow& r, double texelsPerUq, std::uint32_t mask, std::uint32_t colour, int x) {
    const auto depth = static_cast<std::uint16_t>(r.z >> kDepthFractionBits);
    const auto tx = static_cast<std::uint32_t>(static_cast<std::int64_t>(r.uq * texelsPerUq));
    r.z += r.zx;
    r.uq += r.uStep;
    if (depth > r.depth[x]) return;
    r.depth[x] = depth;
    std::uint32_t texel = r.texRow[tx & mask] | 0xFF000000u;
    if constexpr (Tinted) texel = Modulate(texel, colour);
    r.colour[x] = texel | 0xFF000000u;
}

// Two neighbouring rows side by side: each row's u / w is still its own chain of
// additions in the same order, but the two chains overlap in time, so neither waits on
// the latency of its additions alone. Returns how many pixels of each row are done.
template <bool Tinted>
int FillPlainPair(TippedRow& a, TippedRow& b, const Sampler& sampler, std::uint32_t colour, int xa, int xb, int count) {
    const auto mask = static_cast<std::uint32_t>(sampler.widthMask);
    const double texelsA = a.oneOverQ * sampler.width, texelsB = b.oneOverQ * sampler.width;
    for (int k = 0; k < count; ++k) {
        PlainPixel<Tinted>(a, texelsA, mask, colour, xa + k);
        PlainPixel<Tinted>(b, texelsB, mask, colour, xb + k);
    }
    return count;
}

struct TippedSpan {
    TippedRow row;
    int x0, x1;
};

class TippedFill {
public:
    TippedFill(const Setup& s, const RasterTarget& target, const Sampler& sampler)
        : s_(s), target_(target), sampler_(sampler), tinted_((s.flatColour & 0xFFFFFFu) != 0xFFFFFFu) {}

    void run() {
        SpanWalker walker(s_);
        std::uint8_t* const pixels = target_.colour->data();  // once: every writable access marks a change
        TippedSpan pending{};
        bool hasPending = false;
        for (int py = s_.yMin; py <= s_.yMax; ++py) {
            int x0, x1;
            if (!walker.row(py, x0, x1)) continue;
            TippedSpan span{startRow(pixels, py, x0), x0, x1};
            if (!hasPending) {
                pending = span;
                hasPending = true;
                continue;
            }
            fillPair(pending, span);
            hasPending = false;
        }
        if (hasPending) fillRest(pending, pending.x0);
    }

private:
    const Setup& s_;
    const RasterTarget& target_;
    const Sampler& sampler_;
    const bool tinted_;

    TippedRow startRow(std::uint8_t* pixels, int py, int x0) const {
        const double oneOverQ = 1.0 / s_.q.at(x0, py);
        const std::int64_t ty = FloorToInt(s_.v.at(x0, py) * oneOverQ * sampler_.height);
        return {reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::size_t>(py) * target_.colour->pitch()),
                target_.depth + static_cast<std::size_t>(py) * target_.colour->width(),
                s_.z0 + s_.zy * py + s_.zx * x0,
                s_.zx,
                s_.u.at(x0, py),
                s_.u.dx,
                oneOverQ,
                sampler_.texels + ((static_cast<int>(ty) & sampler_.heightMask) << sampler_.widthShift)};
    }

    // Both rows' common length side by side when both are plain, then what is left of each.
    void fillPair(TippedSpan& a, TippedSpan& b) const {
        const int count = std::min(a.x1 - a.x0, b.x1 - b.x0) + 1;
        int done = 0;
        if (PlainRow(a.row, count, sampler_.width) && PlainRow(b.row, count, sampler_.width))
            done = tinted_ ? FillPlainPair<true>(a.row, b.row, sampler_, s_.flatColour, a.x0, b.x0, count)
                           : FillPlainPair<false>(a.row, b.row, sampler_, s_.flatColour, a.x0, b.x0, count);
        fillRest(a, a.x0 + done);
        fillRest(b, b.x0 + done);
    }

    void fillRest(TippedSpan& span, int from) const {
        if (tinted_)
            FillTippedRow<true>(span.row, sampler_, s_.flatColour, from, span.x1);
        else
            FillTippedRow<false>(span.row, sampler_, s_.flatColour, from, span.x1);
    }
};

}  // namespace

bool FillTippedTextured(const Setup& s, const RasterTarget& target, const Sampler& sampler) {
    const RenderState& st = target.state;
    if (!target.fastPaths || !s.perspective || s.gouraud || s.q.dx != 0.0 || s.v.dx != 0.0 || !sampler.texels ||
        !sampler.powerOfTwo || target.colour->format() != Format::X8R8G8B8 || st.blendEnable || !st.zEnable ||
        !st.zWrite || st.zFunc != Compare::LessEqual)
        return false;
    TippedFill(s, target, sampler).run();
    return true;
}

}  // namespace vemol::gfx::detail
