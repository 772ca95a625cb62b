#include "gfx/fast_span.h"

#include <cmath>

#include "gfx/blend.h"

namespace gfx::detail {
namespace {

enum class Mode { Opaque, Add, Darken, General };

// How the vertex colour changes the texel: not at all (white), by keeping or dropping whole
// channels (every channel 0 or 255, such as the blasts' green), or by a true multiply.
enum class Tint { None, Mask, Multiply };

Tint tintFor(std::uint32_t colour) {
    if ((colour & 0xFFFFFFu) == 0xFFFFFFu) return Tint::None;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t channel = (colour >> shift) & 0xFFu;
        if (channel != 0 && channel != 0xFF) return Tint::Multiply;
    }
    return Tint::Mask;
}

// Saturating add of the three colour bytes, all at once.
inline std::uint32_t addSaturatePacked(std::uint32_t a, std::uint32_t b) {
    constexpr std::uint32_t kHigh = 0x80808080u;
    const std::uint32_t low = (a & ~kHigh) + (b & ~kHigh);
    const std::uint32_t sum = low ^ ((a ^ b) & kHigh);
    const std::uint32_t carry = ((a & b) | ((a | b) & ~sum)) & kHigh;
    return sum | ((carry >> 7) * 0xFFu);
}

inline std::uint32_t darkenByInverse(std::uint32_t src, std::uint32_t dst) {
    return packArgb(0xFF, mul255(channelR(dst), 255 - channelR(src)),
                    mul255(channelG(dst), 255 - channelG(src)),
                    mul255(channelB(dst), 255 - channelB(src)));
}

struct Row {
    std::uint32_t* colour;
    std::uint16_t* depth;
    std::int64_t z, zx;
    std::int64_t u, du, v, dv;
};

struct Texels {
    const std::uint32_t* base;
    int widthMask, heightMask, widthShift;
};

struct Shading {
    std::uint32_t colour;
    Blend srcBlend, destBlend;
};

template <Mode M, Tint T, bool FlatDepth, bool FlatV>
void fillSpan(Row r, const Texels& t, const Shading& sh, int x0, int x1) {
    const int flatDepth = quantizeDepth(r.z);
    const std::uint32_t* texRow =
        t.base + ((static_cast<int>(r.v >> 32) & t.heightMask) << t.widthShift);
    for (int x = x0; x <= x1; ++x) {
        const int depth = FlatDepth ? flatDepth : quantizeDepth(r.z);
        if (depth <= r.depth[x]) {
            r.depth[x] = static_cast<std::uint16_t>(depth);
            const int tx = static_cast<int>(r.u >> 32) & t.widthMask;
            std::uint32_t c;
            if constexpr (FlatV) {
                c = texRow[tx];
            } else {
                const int ty = static_cast<int>(r.v >> 32) & t.heightMask;
                c = t.base[(ty << t.widthShift) | tx];
            }
            if constexpr (T == Tint::Mask) c &= sh.colour;
            if constexpr (T == Tint::Multiply) c = modulate(c | 0xFF000000u, sh.colour);
            if constexpr (M == Mode::Add) c = addSaturatePacked(c, r.colour[x]);
            if constexpr (M == Mode::Darken) c = darkenByInverse(c, r.colour[x]);
            if constexpr (M == Mode::General)
                c = blendPixel(BlendKind::General, sh.srcBlend, sh.destBlend, c | 0xFF000000u,
                               r.colour[x] | 0xFF000000u);
            r.colour[x] = c | 0xFF000000u;
        }
        if constexpr (!FlatDepth) r.z += r.zx;
        r.u += r.du;
        if constexpr (!FlatV) r.v += r.dv;
    }
}

using SpanFunction = void (*)(Row, const Texels&, const Shading&, int, int);

template <Mode M, Tint T>
SpanFunction pickSpan(bool flatDepth, bool flatV) {
    if (flatDepth) return flatV ? &fillSpan<M, T, true, true> : &fillSpan<M, T, true, false>;
    return flatV ? &fillSpan<M, T, false, true> : &fillSpan<M, T, false, false>;
}

template <Mode M>
SpanFunction pickSpan(Tint tint, bool flatDepth, bool flatV) {
    switch (tint) {
        case Tint::None: return pickSpan<M, Tint::None>(flatDepth, flatV);
        case Tint::Mask: return pickSpan<M, Tint::Mask>(flatDepth, flatV);
        case Tint::Multiply: break;
    }
    return pickSpan<M, Tint::Multiply>(flatDepth, flatV);
}

SpanFunction pickSpan(Mode mode, Tint tint, bool flatDepth, bool flatV) {
    switch (mode) {
        case Mode::Opaque: return pickSpan<Mode::Opaque>(tint, flatDepth, flatV);
        case Mode::Add: return pickSpan<Mode::Add>(tint, flatDepth, flatV);
        case Mode::Darken: return pickSpan<Mode::Darken>(tint, flatDepth, flatV);
        case Mode::General: break;
    }
    return pickSpan<Mode::General>(tint, flatDepth, flatV);
}

Mode modeFor(const RenderState& state) {
    if (!state.blendEnable) return Mode::Opaque;
    switch (classifyBlend(state.srcBlend, state.destBlend, true)) {
        case BlendKind::Add: return Mode::Add;
        case BlendKind::DarkenByInvSource: return Mode::Darken;
        case BlendKind::General: break;
    }
    return Mode::General;
}

}  // namespace

bool fillFlatTextured(const Setup& s, const RasterTarget& target, const Sampler& sampler) {
    const RenderState& st = target.state;
    if (!target.fastPaths || s.perspective || s.gouraud || !sampler.texels ||
        !sampler.powerOfTwo || target.colour->format() != Format::X8R8G8B8 || !st.zEnable ||
        !st.zWrite || st.zFunc != Compare::LessEqual)
        return false;

    const FixedLinear u = toFixedTexels(s.u, sampler.width);
    const FixedLinear v = toFixedTexels(s.v, sampler.height);
    const Texels texels{sampler.texels, sampler.widthMask, sampler.heightMask, sampler.widthShift};
    const Tint tint = tintFor(s.flatColour);
    // A mask keeps the texel's opaque alpha byte.
    const std::uint32_t colour = tint == Tint::Mask ? s.flatColour | 0xFF000000u : s.flatColour;
    const Shading shading{colour, st.srcBlend, st.destBlend};
    const SpanFunction span = pickSpan(modeFor(st), tint, s.zx == 0, v.dx == 0);

    Surface& surface = *target.colour;
    const int width = surface.width();
    for (int py = s.yMin; py <= s.yMax; ++py) {
        std::int64_t xl = s.xMin, xr = s.xMax;
        if (!s.edges[0].narrow(py, xl, xr) || !s.edges[1].narrow(py, xl, xr) ||
            !s.edges[2].narrow(py, xl, xr))
            continue;
        const int x0 = static_cast<int>(xl), x1 = static_cast<int>(xr);
        Row row{reinterpret_cast<std::uint32_t*>(surface.data() +
                                                 static_cast<std::size_t>(py) * surface.pitch()),
                target.depth + static_cast<std::size_t>(py) * width,
                s.z0 + s.zy * py + s.zx * x0, s.zx,
                u.at(x0, py), u.dx, v.at(x0, py), v.dx};
        span(row, texels, shading, x0, x1);
    }
    return true;
}

}  // namespace gfx::detail
