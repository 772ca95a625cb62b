#include "gfx/frame_start.h"

#include <algorithm>
#include <cstring>

namespace gfx::detail {
namespace {

// Bit for bit, so a NaN equals itself and 0 differs from -0: equal bits draw equally.
template <typename T>
bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool sameState(const RenderState& a, const RenderState& b) {
    return a.zEnable == b.zEnable && a.zWrite == b.zWrite && a.zFunc == b.zFunc && a.cull == b.cull &&
           a.blendEnable == b.blendEnable && a.srcBlend == b.srcBlend && a.destBlend == b.destBlend;
}

}  // namespace

bool FrameStart::operator==(const FrameStart& o) const {
    static_assert(sizeof(QuadVertex) == 9 * 4, "vertices compare as plain bytes");
    return clearColour == o.clearColour && sameBits(clearDepth, o.clearDepth) && texture == o.texture &&
           textureVersion == o.textureVersion && fastPaths == o.fastPaths && sameState(state, o.state) &&
           sameBits(world, o.world) && sameBits(view, o.view) && sameBits(projection, o.projection) &&
           indices == o.indices && vertices.size() == o.vertices.size() &&
           std::memcmp(vertices.data(), o.vertices.data(), vertices.size() * sizeof(QuadVertex)) == 0;
}

bool FrameStartCache::restore(const FrameStart& start, Surface& colour, std::vector<std::uint16_t>& depth) const {
    if (!hasKept_ || !(start == kept_) ||
        keptColour_.size() != static_cast<std::size_t>(colour.pitch()) * colour.height() ||
        keptDepth_.size() != depth.size())
        return false;
    std::memcpy(colour.data(), keptColour_.data(), keptColour_.size());
    std::copy(keptDepth_.begin(), keptDepth_.end(), depth.begin());
    return true;
}

void FrameStartCache::drawn(const FrameStart& start, const Surface& colour, const std::vector<std::uint16_t>& depth) {
    if (hasPrevious_ && start == previous_ && !(hasKept_ && start == kept_)) {
        kept_ = start;
        keptColour_.assign(colour.data(), colour.data() + static_cast<std::size_t>(colour.pitch()) * colour.height());
        keptDepth_ = depth;
        hasKept_ = true;
    }
    previous_ = start;
    hasPrevious_ = true;
}

}  // namespace gfx::detail
