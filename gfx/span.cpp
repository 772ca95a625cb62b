// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The span filler: for each covered pixel, depth test, texel x vertex colour, blend,
// write. Specialised at compile time per draw kind so the common passes (opaque
// textured quads seen straight on) run with nothing but what they need.
#include <array>
#include <utility>

#include "gfx/blend.h"
#include "gfx/fast_span.h"
#include "gfx/tipped_span.h"
#include "gfx/triangle.h"

namespace vemol::gfx::detail {
namespace {

struct Context {
    const Setup& setup;
    const RasterTarget& target;
    const Sampler& sampler;
    BlendKind blendKind;
};

// Attributes walked along one span, starting at its first pixel.
struct SpanWalk {
    double q, uq, vq, r, g, b, a;  // perspective: all divided by w
    std::int64_t u, v, du, dv;     // straight-on: 32.32 fixed-point texels
};

template <bool Perspective, bool Gouraud, bool Textured>
SpanWalk StartSpan(const Context& c, int px, int py) {
    const Setup& s = c.setup;
    SpanWalk w{};
    if constexpr (Perspective) {
        w.q = s.q.at(px, py);
        w.uq = s.u.at(px, py);
        w.vq = s.v.at(px, py);
    } else if constexpr (Textured) {
        const FixedLinear u = ToFixedTexels(s.u, c.sampler.width);
        const FixedLinear v = ToFixedTexels(s.v, c.sampler.height);
        w.u = u.at(px, py);
        w.v = v.at(px, py);
        w.du = u.dx;
        w.dv = v.dx;
    }
    if constexpr (Gouraud) {
        w.r = s.r.at(px, py);
        w.g = s.g.at(px, py);
        w.b = s.b.at(px, py);
        w.a = s.a.at(px, py);
    }
    return w;
}

template <bool Perspective, bool Gouraud, bool Textured>
void StepSpan(const Setup& s, SpanWalk& w) {
    if constexpr (Perspective) {
        w.q += s.q.dx;
        w.uq += s.u.dx;
        w.vq += s.v.dx;
    } else if constexpr (Textured) {
        w.u += w.du;
        w.v += w.dv;
    }
    if constexpr (Gouraud) {
        w.r += s.r.dx;
        w.g += s.g.dx;
        w.b += s.b.dx;
        w.a += s.a.dx;
    }
}

template <bool Perspective, bool Gouraud, bool Textured, bool Generic>
std::uint32_t shade(const Context& c, const SpanWalk& w) {
    std::uint32_t colour = c.setup.flatColour;
    [[maybe_unused]] double oneOverQ = 1.0;
    if constexpr (Perspective) oneOverQ = 1.0 / w.q;
    if constexpr (Gouraud)
        colour = PackArgb(RoundChannel(w.a * oneOverQ), RoundChannel(w.r * oneOverQ), RoundChannel(w.g * oneOverQ),
                          RoundChannel(w.b * oneOverQ));
    if constexpr (!Textured) {
        return colour;
    } else {
        std::int64_t tx, ty;
        if constexpr (Perspective) {
            tx = FloorToInt(w.uq * oneOverQ * c.sampler.width);
            ty = FloorToInt(w.vq * oneOverQ * c.sampler.height);
        } else {
            tx = w.u >> 32;
            ty = w.v >> 32;
        }
        const std::uint32_t texel =
            Generic ? c.sampler.fetchGeneric(tx, ty) : c.sampler.fetchFast(tx, ty) | 0xFF000000u;
        return (colour & 0xFFFFFFu) == 0xFFFFFFu ? texel : Modulate(texel, colour);
    }
}

template <bool Perspective, bool Gouraud, bool Textured, bool Blended, bool Generic>
void FillRows(const Context& c) {
    const Setup& s = c.setup;
    const RenderState& state = c.target.state;
    const Format format = c.target.colour->format();
    ForEachSpan(s, *c.target.colour, c.target.depth,
                [&](int py, int x0, int x1, std::uint8_t* row, std::uint16_t* depthRow) {
                    auto* row32 = reinterpret_cast<std::uint32_t*>(row);
                    std::int64_t z = s.z0 + s.zy * py + s.zx * x0;
                    SpanWalk w = StartSpan<Perspective, Gouraud, Textured>(c, x0, py);
                    for (int x = x0; x <= x1; ++x, z += s.zx, StepSpan<Perspective, Gouraud, Textured>(s, w)) {
                        const int depth = QuantizeDepth(z);
                        if constexpr (Generic) {
                            if (state.zEnable && !DepthPasses(state.zFunc, depth, depthRow[x])) continue;
                            if (state.zEnable && state.zWrite) depthRow[x] = static_cast<std::uint16_t>(depth);
                        } else {
                            if (depth > depthRow[x]) continue;
                            depthRow[x] = static_cast<std::uint16_t>(depth);
                        }
                        std::uint32_t colour = shade<Perspective, Gouraud, Textured, Generic>(c, w);
                        if constexpr (Blended) {
                            const std::uint32_t dst = Generic ? ReadPixel(row, x, format) : row32[x];
                            colour = BlendPixel(c.blendKind, state.srcBlend, state.destBlend, colour, dst);
                        }
                        if constexpr (Generic)
                            WritePixel(row, x, format, colour);
                        else
                            row32[x] = colour | 0xFF000000u;
                    }
                });
}

using FillFunction = void (*)(const Context&);

template <std::size_t... I>
constexpr std::array<FillFunction, sizeof...(I)> makeFillTable(std::index_sequence<I...>) {
    return {&FillRows<(I & 1) != 0, (I & 2) != 0, (I & 4) != 0, (I & 8) != 0, (I & 16) != 0>...};
}

constexpr auto kFillTable = makeFillTable(std::make_index_sequence<32>{});

}  // namespace

void FillTrianglePair(const Setup& first, const Setup& second, const RasterTarget& target) {
    if (FillFlatTexturedPair(first, second, target, MakeSampler(target.texture))) return;
    FillTriangle(first, target);
    FillTriangle(second, target);
}

void FillTriangle(const Setup& setup, const RasterTarget& target) {
    const Sampler sampler = MakeSampler(target.texture);
    if (FillFlatTextured(setup, target, sampler)) return;
    if (FillTippedTextured(setup, target, sampler)) return;
    const bool textured = sampler.surface != nullptr;
    const bool gouraud = setup.gouraud;
    // Without texture or colour to interpolate only depth varies, and depth is planar.
    const bool perspective = setup.perspective && (textured || gouraud);
    const bool blended = target.state.blendEnable;
    const bool sourceOpaque = textured || (!gouraud && ChannelA(setup.flatColour) == 255);
    const RenderState& st = target.state;
    const bool generic = !target.fastPaths || target.colour->format() != Format::X8R8G8B8 ||
                         (textured && (!sampler.powerOfTwo || !sampler.texels)) || !st.zEnable || !st.zWrite ||
                         st.zFunc != Compare::LessEqual;
    const Context context{setup, target, sampler, ClassifyBlend(st.srcBlend, st.destBlend, sourceOpaque)};
    const std::size_t index =
        (perspective ? 1 : 0) | (gouraud ? 2 : 0) | (textured ? 4 : 0) | (blended ? 8 : 0) | (generic ? 16 : 0);
    kFillTable[index](context);
}

}  // namespace vemol::gfx::detail
