// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gfx/fast_span.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gfx/blend.h"

namespace vemol::gfx::detail {
namespace {

enum class Mode { Opaque, Add, Darken, General };

// How the vertex colour changes the texel: not at all (white), by keeping or dropping whole
// channels (every channel 0 or 255, such as the blasts' green), or by a true multiply.
enum class Tint { None, Mask, Multiply };

Tint TintFor(std::uint32_t colour) {
    if ((colour & 0xFFFFFFu) == 0xFFFFFFu) return Tint::None;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t channel = (colour >> shift) & 0xFFu;
        if (channel != 0 && channel != 0xFF) return Tint::Multiply;
    }
    return Tint::Mask;
}

// Saturating add of all four bytes at once (the alpha byte is set afterwards anyway).
inline std::uint32_t AddSaturatePacked(std::uint32_t a, std::uint32_t b) {
    constexpr std::uint32_t kHigh = 0x80808080u;
    const std::uint32_t low = (a & ~kHigh) + (b & ~kHigh);
    const std::uint32_t sum = low ^ ((a ^ b) & kHigh);
    const std::uint32_t carry = ((a & b) | ((a | b) & ~sum)) & kHigh;
    return sum | ((carry >> 7) * 0xFFu);
}

inline std::uint32_t DarkenByInverse(std::uint32_t src, std::uint32_t dst) {
    return PackArgb(0xFF, Mul255(ChannelR(dst), 255 - ChannelR(src)), Mul255(ChannelG(dst), 255 - ChannelG(src)),
                    Mul255(ChannelB(dst), 255 - ChannelB(src)));
}

struct Row {
    std::uint32_t* colour;
    std::uint16_t* depth;
    std::int64_t z, zx;
    std::int64_t u, du, v, dv;
};

struct Texels {
    const std::uint32_t* base;
    std::uint32_t widthMask, heightMask, widthShift;
};

struct Shading {
    std::uint32_t colour;
    Blend srcBlend, destBlend;
};

// Colour of one covered pixel: texel, tint, blend with what is there.
template <Mode M, Tint T, bool FlatV>
inline std::uint32_t ShadePixel(const Row& r, const Texels t, const Shading& sh, const std::uint32_t* texRow, int x) {
    // Unsigned indices: no sign extension in the hot loop.
    const std::uint32_t tx = static_cast<std::uint32_t>(r.u >> 32) & t.widthMask;
    std::uint32_t c;
    if constexpr (FlatV) {
        c = texRow[tx];
    } else {
        const std::uint32_t ty = static_cast<std::uint32_t>(r.v >> 32) & t.heightMask;
        c = t.base[(ty << t.widthShift) | tx];
    }
    if constexpr (T == Tint::Mask) c &= sh.colour;
    if constexpr (T == Tint::Multiply) c = Modulate(c | 0xFF000000u, sh.colour);
    if constexpr (M == Mode::Add) c = AddSaturatePacked(c, r.colour[x]);
    if constexpr (M == Mode::Darken) c = DarkenByInverse(c, r.colour[x]);
    if constexpr (M == Mode::General)
        c = BlendPixel(BlendKind::General, sh.srcBlend, sh.destBlend, c | 0xFF000000u, r.colour[x] | 0xFF000000u);
    return c | 0xFF000000u;
}

template <bool FlatV>
inline void StepTexel(Row& r) {
    r.u += r.du;
    if constexpr (!FlatV) r.v += r.dv;
}

#if defined(__SSE2__)
// round(a x b / 255) per byte of four pixels, the same arithmetic as Mul255.
inline __m128i Mul255Bytes(__m128i a, __m128i b) {
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128);
    auto half4 = [&](__m128i x, __m128i y) {
        const __m128i p = _mm_add_epi16(_mm_mullo_epi16(x, y), half);
        return _mm_srli_epi16(_mm_add_epi16(p, _mm_srli_epi16(p, 8)), 8);
    };
    return _mm_packus_epi16(half4(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)),
                            half4(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)));
}

// Tint and blend of four pixels at once: bit for bit what ShadePixel does one by one.
template <Mode M, Tint T>
inline __m128i ShadeFour(__m128i c, __m128i dst, __m128i colour) {
    static_assert(M != Mode::General, "the general blend has no four-pixel form");
    if constexpr (T == Tint::Mask) c = _mm_and_si128(c, colour);
    if constexpr (T == Tint::Multiply) c = Mul255Bytes(c, colour);
    if constexpr (M == Mode::Add) c = _mm_adds_epu8(c, dst);
    if constexpr (M == Mode::Darken) c = Mul255Bytes(dst, _mm_xor_si128(c, _mm_set1_epi32(-1)));
    return _mm_or_si128(c, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
}

template <bool FlatV>
inline int FetchTexel(Row& r, const Texels t, const std::uint32_t* texRow) {
    const std::uint32_t tx = static_cast<std::uint32_t>(r.u >> 32) & t.widthMask;
    std::uint32_t c;
    if constexpr (FlatV) {
        c = texRow[tx];
    } else {
        const std::uint32_t ty = static_cast<std::uint32_t>(r.v >> 32) & t.heightMask;
        c = t.base[(ty << t.widthShift) | tx];
    }
    StepTexel<FlatV>(r);
    return static_cast<int>(c);
}

// Eight pixels that all pass the depth test.
template <Mode M, Tint T, bool FlatV>
inline void ShadeEight(Row& r, const Texels t, const Shading& sh, const std::uint32_t* texRow, int x) {
    // Any other blend pair goes through the general blend pixel by pixel, tinted or not.
    constexpr bool vector = M != Mode::General && (M == Mode::Add || M == Mode::Darken || T == Tint::Multiply);
    if constexpr (vector) {
        const __m128i colour = _mm_set1_epi32(static_cast<int>(sh.colour));
        for (int g = 0; g < 8; g += 4) {
            const int c0 = FetchTexel<FlatV>(r, t, texRow), c1 = FetchTexel<FlatV>(r, t, texRow);
            const int c2 = FetchTexel<FlatV>(r, t, texRow), c3 = FetchTexel<FlatV>(r, t, texRow);
            auto* out = reinterpret_cast<__m128i*>(r.colour + x + g);
            _mm_storeu_si128(out, ShadeFour<M, T>(_mm_set_epi32(c3, c2, c1, c0), _mm_loadu_si128(out), colour));
        }
    } else {
        for (int k = 0; k < 8; ++k, StepTexel<FlatV>(r))
            r.colour[x + k] = ShadePixel<M, T, FlatV>(r, t, sh, texRow, x + k);
    }
}

// With one depth for the whole span (every square lying flat under the camera), eight
// pixels are tested at once; runs where all eight pass or all fail skip the per-pixel test.
// Returns the first pixel left for the pixel-by-pixel loop.
template <Mode M, Tint T, bool FlatV>
int FillEightAtATime(Row& r, const Texels t, const Shading& sh, const std::uint32_t* texRow, int x, int x1, int depth) {
    const __m128i ours = _mm_set1_epi16(static_cast<short>(depth));
    const __m128i zero = _mm_setzero_si128();
    for (; x + 7 <= x1; x += 8) {
        __m128i* stored = reinterpret_cast<__m128i*>(r.depth + x);
        // ours <= stored, unsigned: the saturating difference is zero.
        const int passing = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_subs_epu16(ours, _mm_loadu_si128(stored)), zero));
        if (passing == 0xFFFF) {
            _mm_storeu_si128(stored, ours);
            ShadeEight<M, T, FlatV>(r, t, sh, texRow, x);
        } else if (passing == 0) {
            r.u += 8 * r.du;
            if constexpr (!FlatV) r.v += 8 * r.dv;
        } else {
            for (int k = 0; k < 8; ++k, StepTexel<FlatV>(r)) {
                if ((passing >> (2 * k) & 1) == 0) continue;
                r.depth[x + k] = static_cast<std::uint16_t>(depth);
                r.colour[x + k] = ShadePixel<M, T, FlatV>(r, t, sh, texRow, x + k);
            }
        }
    }
    return x;
}
#endif

// The row comes by reference and is copied field by field into registers: passed by
// value it was built with narrow stores and copied with wide loads, a stall on every row.
template <Mode M, Tint T, bool FlatDepth, bool FlatV>
void FillSpan(const Row& start, const Texels t, const Shading& sh, int x0, int x1) {
    Row r = start;
    const int flatDepth = QuantizeDepth(r.z);
    const std::uint32_t* texRow = t.base + ((static_cast<std::uint32_t>(r.v >> 32) & t.heightMask) << t.widthShift);
    int x = x0;
#if defined(__SSE2__)
    if constexpr (FlatDepth) x = FillEightAtATime<M, T, FlatV>(r, t, sh, texRow, x, x1, flatDepth);
#endif
    for (; x <= x1; ++x, StepTexel<FlatV>(r)) {
        const int depth = FlatDepth ? flatDepth : QuantizeDepth(r.z);
        if constexpr (!FlatDepth) r.z += r.zx;
        if (depth > r.depth[x]) continue;
        r.depth[x] = static_cast<std::uint16_t>(depth);
        r.colour[x] = ShadePixel<M, T, FlatV>(r, t, sh, texRow, x);
    }
}

using SpanFunction = void (*)(const Row&, Texels, const Shading&, int, int);

template <Mode M, Tint T>
SpanFunction PickSpan(bool flatDepth, bool flatV) {
    if (flatDepth) return flatV ? &FillSpan<M, T, true, true> : &FillSpan<M, T, true, false>;
    return flatV ? &FillSpan<M, T, false, true> : &FillSpan<M, T, false, false>;
}

template <Mode M>
SpanFunction PickSpan(Tint tint, bool flatDepth, bool flatV) {
    switch (tint) {
        case Tint::None: return PickSpan<M, Tint::None>(flatDepth, flatV);
        case Tint::Mask: return PickSpan<M, Tint::Mask>(flatDepth, flatV);
        case Tint::Multiply: break;
    }
    return PickSpan<M, Tint::Multiply>(flatDepth, flatV);
}

SpanFunction PickSpan(Mode mode, Tint tint, bool flatDepth, bool flatV) {
    switch (mode) {
        case Mode::Opaque: return PickSpan<Mode::Opaque>(tint, flatDepth, flatV);
        case Mode::Add: return PickSpan<Mode::Add>(tint, flatDepth, flatV);
        case Mode::Darken: return PickSpan<Mode::Darken>(tint, flatDepth, flatV);
        case Mode::General: break;
    }
    return PickSpan<Mode::General>(tint, flatDepth, flatV);
}

Mode ModeFor(const RenderState& state) {
    if (!state.blendEnable) return Mode::Opaque;
    switch (ClassifyBlend(state.srcBlend, state.destBlend, true)) {
        case BlendKind::Add: return Mode::Add;
        case BlendKind::DarkenByInvSource: return Mode::Darken;
        case BlendKind::General: break;
    }
    return Mode::General;
}

// How one triangle's pixels are worked out on the flat path.
struct FlatFill {
    FixedLinear u, v;
    Texels texels;
    Shading shading;
    SpanFunction span;

    bool sameAs(const FlatFill& o) const {
        return u.dx == o.u.dx && u.dy == o.u.dy && u.c == o.u.c && v.dx == o.v.dx && v.dy == o.v.dy && v.c == o.v.c &&
               shading.colour == o.shading.colour && span == o.span;
    }
    Row rowAt(const Setup& s, int py, int x0, std::uint8_t* colourRow, std::uint16_t* depthRow) const {
        return {reinterpret_cast<std::uint32_t*>(colourRow),
                depthRow,
                s.z0 + s.zy * py + s.zx * x0,
                s.zx,
                u.at(x0, py),
                u.dx,
                v.at(x0, py),
                v.dx};
    }
};

bool PrepareFlat(const Setup& s, const RasterTarget& target, const Sampler& sampler, FlatFill& fill) {
    const RenderState& st = target.state;
    if (!target.fastPaths || s.perspective || s.gouraud || !sampler.texels || !sampler.powerOfTwo ||
        target.colour->format() != Format::X8R8G8B8 || !st.zEnable || !st.zWrite || st.zFunc != Compare::LessEqual)
        return false;
    fill.u = ToFixedTexels(s.u, sampler.width);
    fill.v = ToFixedTexels(s.v, sampler.height);
    fill.texels = {sampler.texels, static_cast<std::uint32_t>(sampler.widthMask),
                   static_cast<std::uint32_t>(sampler.heightMask), static_cast<std::uint32_t>(sampler.widthShift)};
    const Tint tint = TintFor(s.flatColour);
    // A mask keeps the texel's opaque alpha byte.
    const std::uint32_t colour = tint == Tint::Mask ? s.flatColour | 0xFF000000u : s.flatColour;
    fill.shading = {colour, st.srcBlend, st.destBlend};
    fill.span = PickSpan(ModeFor(st), tint, s.zx == 0, fill.v.dx == 0);
    return true;
}

}  // namespace

bool FillFlatTextured(const Setup& s, const RasterTarget& target, const Sampler& sampler) {
    FlatFill fill;
    if (!PrepareFlat(s, target, sampler, fill)) return false;
    ForEachSpan(s, *target.colour, target.depth,
                [&](int py, int x0, int x1, std::uint8_t* colourRow, std::uint16_t* depthRow) {
                    fill.span(fill.rowAt(s, py, x0, colourRow, depthRow), fill.texels, fill.shading, x0, x1);
                });
    return true;
}

// Two triangles with the same texture mapping, depth and colour (the two halves of a
// square lying flat): every pixel of either is worked out the same way from the
// same planes, so their spans can be joined.
bool FillFlatTexturedPair(const Setup& first, const Setup& second, const RasterTarget& target, const Sampler& sampler) {
    FlatFill fill, secondFill;
    if (!PrepareFlat(first, target, sampler, fill) || !PrepareFlat(second, target, sampler, secondFill) ||
        !fill.sameAs(secondFill) || first.zx != second.zx || first.zy != second.zy || first.z0 != second.z0)
        return false;
    ForEachSpanOfPair(first, second, *target.colour, target.depth,
                      [&](int py, int x0, int x1, std::uint8_t* colourRow, std::uint16_t* depthRow) {
                          fill.span(fill.rowAt(first, py, x0, colourRow, depthRow), fill.texels, fill.shading, x0, x1);
                      });
    return true;
}

}  // namespace vemol::gfx::detail
