// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The device: frame bracket, transforms, and drawMesh, which runs each triangle of a
// mesh through transform, clipping and rasterization.
#include "gfx/device.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gfx/clip.h"
#include "gfx/frame_start.h"
#include "gfx/keyed_copy.h"
#include "gfx/pixel.h"
#include "gfx/plane.h"

namespace vemol::gfx {

Device::Device(int width, int height, Format format)
    : backBuffer_(width, height, format),
      depth_(static_cast<std::size_t>(backBuffer_.width()) * backBuffer_.height(), 0xFFFF),
      frameStartCache_(std::make_unique<detail::FrameStartCache>()),
      changedRows_(backBuffer_.width(), backBuffer_.height()),
      frameStart_(std::make_unique<detail::FrameStart>()),
      world_(MatrixIdentity()),
      view_(MatrixIdentity()),
      projection_(MatrixIdentity()) {
    updateViewProjection();
}

Device::~Device() = default;

void Device::clear(std::uint32_t colour, float depth) {
    if (!drawing_) return;
    clearColour_ = colour;
    clearDepth_ = depth;
    clearPending_ = true;
}

void Device::finishPending() const {
    if (!clearPending_) {
        if (writtenByOthers()) forgetWhatWasDrawn();
        ownVersion_ = backBuffer_.version();
        return;
    }
    clearPending_ = false;
    forgetWhatWasDrawn();
    const std::uint32_t colour = clearColour_;
    const float depth = clearDepth_;
    const std::uint8_t* first = nullptr;
    for (int y = 0; y < backBuffer_.height(); ++y) {
        std::uint8_t* row = backBuffer_.data() + static_cast<std::size_t>(y) * backBuffer_.pitch();
        if (first) {
            std::copy(first, first + backBuffer_.pitch(), row);
            continue;
        }
        for (int x = 0; x < backBuffer_.width(); ++x) WritePixel(row, x, backBuffer_.format(), colour);
        first = row;
    }
    const float d = std::isnan(depth) ? 1.0f : std::clamp(depth, 0.0f, 1.0f);
    std::fill(depth_.begin(), depth_.end(), static_cast<std::uint16_t>(std::lround(d * 65535.0f)));
    ownVersion_ = backBuffer_.version();
}

void Device::beginScene() { inScene_ = true; }
void Device::endScene() { inScene_ = false; }

void Device::present() {
    ++presentCount_;
    if (!drawing_) return;
    finishPending();
    if (presentHandler_) presentHandler_(backBuffer_, changedRows_);
    changedRows_.forgetAll();
}

// The whole back buffer was written (a clear) or may have been, by someone else.
void Device::forgetWhatWasDrawn() const {
    frameStartCache_->forget();
    changedRows_.markAll();
}

bool Device::copyKeyedToBackBuffer(const Surface& src, const Rect& rect, int dx, int dy, ColourKey key) {
    if (!drawing_) return src.format() == format();
    finishPending();
    const bool copied = CopyRectKeyed(src, rect, backBuffer_, dx, dy, key);
    // Where it may have written, within the back buffer (in 64 bits: any ints may come).
    auto inside = [](std::int64_t v, int size) { return static_cast<int>(std::clamp<std::int64_t>(v, 0, size)); };
    const std::int64_t right = std::int64_t{dx} + rect.right - rect.left;
    const std::int64_t bottom = std::int64_t{dy} + rect.bottom - rect.top;
    const Rect area{inside(dx, width()), inside(dy, height()), inside(right, width()), inside(bottom, height())};
    frameStartCache_->willDraw(area);
    changedRows_.mark(area.left, area.top, area.right, area.bottom);
    ownVersion_ = backBuffer_.version();
    return copied;
}

void Device::setWorld(const Matrix& m) { world_ = m; }
void Device::setView(const Matrix& m) {
    view_ = m;
    updateViewProjection();
}
void Device::setProjection(const Matrix& m) {
    projection_ = m;
    updateViewProjection();
}
const Matrix& Device::world() const { return world_; }
const Matrix& Device::view() const { return view_; }
const Matrix& Device::projection() const { return projection_; }

void Device::updateViewProjection() {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += static_cast<double>(view_.m[i][k]) * projection_.m[k][j];
            viewProjection_[i][j] = sum;
        }
    inverseValid_ = detail::Invert4x4(viewProjection_, inverseViewProjection_);
}

namespace {

constexpr int kStackVertices = 64;  // every mesh of the game fits; larger ones use the heap

struct TransformedVertex {
    double world[3];
    detail::ClipVertex clip;
};

TransformedVertex TransformVertex(const QuadVertex& q, const Matrix& w, const double vp[4][4]) {
    TransformedVertex t{};
    for (int c = 0; c < 3; ++c)
        t.world[c] = q.x * static_cast<double>(w.m[0][c]) + q.y * static_cast<double>(w.m[1][c]) +
                     q.z * static_cast<double>(w.m[2][c]) + static_cast<double>(w.m[3][c]);
    double clip[4];
    for (int c = 0; c < 4; ++c)
        clip[c] = t.world[0] * vp[0][c] + t.world[1] * vp[1][c] + t.world[2] * vp[2][c] + vp[3][c];
    t.clip = {clip[0],
              clip[1],
              clip[2],
              clip[3],
              q.u,
              q.v,
              static_cast<double>(ChannelR(q.diffuse)),
              static_cast<double>(ChannelG(q.diffuse)),
              static_cast<double>(ChannelB(q.diffuse)),
              static_cast<double>(ChannelA(q.diffuse))};
    return t;
}

}  // namespace

void Device::drawMesh(const Mesh& mesh) {
    if (!drawing_) return;
    if (writtenByOthers()) forgetWhatWasDrawn();
    if (!clearPending_) {
        rasterizeMesh(mesh);
    } else if (!restoreFrameStart(mesh)) {
        finishPending();
        rasterizeMesh(mesh);
        keepFrameStart();
    }
    ownVersion_ = backBuffer_.version();
}

// The first draw after a clear: when it and the clear are exactly those of a start kept
// before, the buffers are what they left.
bool Device::restoreFrameStart(const Mesh& mesh) {
    detail::FrameStart& s = *frameStart_;
    s.clearColour = clearColour_;
    s.clearDepth = clearDepth_;
    s.vertices.assign(mesh.vertices().begin(), mesh.vertices().end());
    s.indices.assign(mesh.indices().begin(), mesh.indices().end());
    s.world = world_;
    s.view = view_;
    s.projection = projection_;
    s.state = state_;
    s.texture = texture_;
    s.textureVersion = texture_ ? texture_->level0().version() : 0;
    s.fastPaths = fastPaths_;
    if (!frameStartCache_->restore(s, backBuffer_, depth_.data(), changedRows_)) return false;
    clearPending_ = false;
    return true;
}

void Device::keepFrameStart() { frameStartCache_->drawn(*frameStart_, backBuffer_, depth_.data()); }

void Device::rasterizeMesh(const Mesh& mesh) {
    const int vertexCount = mesh.vertexCount();
    TransformedVertex stackVertices[kStackVertices];
    std::vector<TransformedVertex> heapVertices;
    TransformedVertex* vertices = stackVertices;
    if (vertexCount > kStackVertices) {
        heapVertices.resize(static_cast<std::size_t>(vertexCount));
        vertices = heapVertices.data();
    }
    for (int i = 0; i < vertexCount; ++i) vertices[i] = TransformVertex(mesh.vertices()[i], world_, viewProjection_);

    const detail::RasterTarget target{&backBuffer_, depth_.data(),          texture_,     state_,
                                      fastPaths_,   frameStartCache_.get(), &changedRows_};
    // Triangles go to the rasterizer two at a time: the two halves of a square fill their
    // shared rows together.
    const auto& indices = mesh.indices();
    const std::size_t triangleCount = indices.size() / 3;
    auto valid = [&](std::size_t t) {
        return indices[3 * t] < vertexCount && indices[3 * t + 1] < vertexCount && indices[3 * t + 2] < vertexCount;
    };
    auto corners = [&](std::size_t t, detail::ClipVertex(&clip)[3]) {
        const TransformedVertex &a = vertices[indices[3 * t]], &b = vertices[indices[3 * t + 1]],
                                &c = vertices[indices[3 * t + 2]];
        clip[0] = a.clip;
        clip[1] = b.clip;
        clip[2] = c.clip;
        return inverseValid_
                   ? detail::DepthPlaneFromWorld(a.world, b.world, c.world, inverseViewProjection_, width(), height())
                   : detail::DepthPlane{};
    };
    std::size_t t = 0;
    while (t < triangleCount && !valid(t)) ++t;  // a bad index drops its triangle
    while (t < triangleCount) {
        std::size_t next = t + 1;
        while (next < triangleCount && !valid(next)) ++next;
        detail::ClipVertex first[3], second[3];
        const detail::DepthPlane firstPlane = corners(t, first);
        if (next == triangleCount) {
            detail::ClipAndRasterize(target, first[0], first[1], first[2], firstPlane);
            return;
        }
        const detail::DepthPlane secondPlane = corners(next, second);
        detail::ClipAndRasterizePair(target, first, second, firstPlane, secondPlane);
        t = next + 1;
        while (t < triangleCount && !valid(t)) ++t;
    }
}

}  // namespace vemol::gfx
