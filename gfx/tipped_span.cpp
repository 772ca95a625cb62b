#include "gfx/tipped_span.h"

namespace gfx::detail {
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
void fillTippedRow(TippedRow& r, const Sampler& sampler, std::uint32_t colour, int x0, int x1) {
    const double width = sampler.width;
    const auto mask = static_cast<std::uint32_t>(sampler.widthMask);
    for (int x = x0; x <= x1; ++x, r.z += r.zx, r.uq += r.uStep) {
        const int depth = quantizeDepth(r.z);
        if (depth > r.depth[x]) continue;
        r.depth[x] = static_cast<std::uint16_t>(depth);
        const auto tx = static_cast<std::uint32_t>(floorToInt(r.uq * r.oneOverQ * width));
        std::uint32_t texel = r.texRow[tx & mask] | 0xFF000000u;
        if constexpr (Tinted) texel = modulate(texel, colour);
        r.colour[x] = texel | 0xFF000000u;
    }
}

}  // namespace

bool fillTippedTextured(const Setup& s, const RasterTarget& target, const Sampler& sampler) {
    const RenderState& st = target.state;
    if (!target.fastPaths || !s.perspective || s.gouraud || s.q.dx != 0.0 || s.v.dx != 0.0 || !sampler.texels ||
        !sampler.powerOfTwo || target.colour->format() != Format::X8R8G8B8 || st.blendEnable || !st.zEnable ||
        !st.zWrite || st.zFunc != Compare::LessEqual)
        return false;

    const bool tinted = (s.flatColour & 0xFFFFFFu) != 0xFFFFFFu;
    ForEachSpan(s, *target.colour, target.depth,
                [&](int py, int x0, int x1, std::uint8_t* colourRow, std::uint16_t* depthRow) {
                    const double oneOverQ = 1.0 / s.q.at(x0, py);
                    const std::int64_t ty = floorToInt(s.v.at(x0, py) * oneOverQ * sampler.height);
                    TippedRow row{reinterpret_cast<std::uint32_t*>(colourRow),
                                  depthRow,
                                  s.z0 + s.zy * py + s.zx * x0,
                                  s.zx,
                                  s.u.at(x0, py),
                                  s.u.dx,
                                  oneOverQ,
                                  sampler.texels + ((static_cast<int>(ty) & sampler.heightMask) << sampler.widthShift)};
                    if (tinted)
                        fillTippedRow<true>(row, sampler, s.flatColour, x0, x1);
                    else
                        fillTippedRow<false>(row, sampler, s.flatColour, x0, x1);
                });
    return true;
}

}  // namespace gfx::detail
