#pragma once
// The start of a frame: the clear and the first draw after it. Every frame of the title
// screen, of play and of the break-up starts by clearing and drawing the same
// full-window backdrop, so the colour and depth buffers that start leaves are kept and
// copied back when exactly the same start comes again, instead of drawn afresh.
#include <cstdint>
#include <vector>

#include "gfx/device.h"

namespace gfx::detail {

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
    // Copies the kept result into the buffers when `start` is the kept one.
    bool restore(const FrameStart& start, Surface& colour, std::vector<std::uint16_t>& depth) const;
    // After `start` was drawn afresh: keeps its result once the same start has come twice
    // in a row, so frames that change every time (the title tipping away) pay no copy.
    void drawn(const FrameStart& start, const Surface& colour, const std::vector<std::uint16_t>& depth);

private:
    FrameStart previous_, kept_;
    bool hasPrevious_ = false, hasKept_ = false;
    std::vector<std::uint8_t> keptColour_;
    std::vector<std::uint16_t> keptDepth_;
};

}  // namespace gfx::detail
