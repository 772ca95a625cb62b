// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Our software graphics device: the small subset of a fixed-function 3D device that the
// game relies on. Headless, deterministic, standard library only.
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "gfx/changed_rows.h"
#include "gfx/math.h"

namespace vemol::gfx {

namespace detail {
class FrameStartCache;
struct FrameStart;
}  // namespace detail

enum class Format { X8R8G8B8, R5G6B5 };
int BytesPerPixel(Format format);

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

// A block of pixels locked for reading and writing; rows are `pitch` bytes apart.
struct LockedRect {
    std::uint8_t* bits = nullptr;
    int pitch = 0;
};

class Surface {
public:
    Surface(int width, int height, Format format);
    int width() const { return width_; }
    int height() const { return height_; }
    Format format() const { return format_; }
    int pitch() const { return pitch_; }
    // Locks the whole surface, or the part of `rect` that lies inside it
    // (bits then points at the rectangle's top-left pixel). Fails (bits null) on an
    // empty intersection.
    LockedRect lock();
    LockedRect lock(const Rect& rect);
    void unlock() { touch(); }
    const std::uint8_t* data() const { return pixels_.data(); }
    std::uint8_t* data() {
        touch();
        return pixels_.data();
    }
    // Changes whenever the pixels may have been written (writable access, lock, unlock);
    // never the same for two surfaces, so a version names one state of one surface.
    std::uint64_t version() const { return version_; }
    // Pixel in 0xAARRGGBB (16-bit formats expanded) — for tests and tools.
    std::uint32_t pixel(int x, int y) const;

private:
    int width_, height_;
    Format format_;
    int pitch_;
    std::vector<std::uint8_t> pixels_;
    std::uint64_t version_ = 0;
    void touch();
};

// Texture: a single top level (only it is ever sampled) stored as 0xAARRGGBB texels
// for X8R8G8B8 textures; R5G6B5 textures keep 16-bit texels.
class Texture {
public:
    Texture(int width, int height, Format format);
    int width() const { return surface_.width(); }
    int height() const { return surface_.height(); }
    Format format() const { return surface_.format(); }
    Surface& level0() { return surface_; }
    const Surface& level0() const { return surface_; }

private:
    Surface surface_;
};

// The one vertex format of every mesh: 36 bytes, position, normal, diffuse, one
// texture coordinate pair (FVF XYZ | NORMAL | DIFFUSE | TEX1).
struct QuadVertex {
    float x, y, z;
    float nx, ny, nz;
    std::uint32_t diffuse;  // 0xAARRGGBB
    float u, v;
};
static_assert(sizeof(QuadVertex) == 36);

// A mesh with one subset: a vertex buffer that locks for reading and writing at any
// time, 16-bit indices, drawn as a triangle list with one call.
class Mesh {
public:
    Mesh(int vertexCount, int indexCount);
    int vertexCount() const { return static_cast<int>(vertices_.size()); }
    int indexCount() const { return static_cast<int>(indices_.size()); }
    QuadVertex* lockVertices() { return vertices_.data(); }
    void unlockVertices() {}
    std::uint16_t* lockIndices() { return indices_.data(); }
    void unlockIndices() {}
    const std::vector<QuadVertex>& vertices() const { return vertices_; }
    const std::vector<std::uint16_t>& indices() const { return indices_; }

private:
    std::vector<QuadVertex> vertices_;
    std::vector<std::uint16_t> indices_;
};

// A source pixel, read as the 16 or 32 bits its surface stores, is left out of a keyed
// copy when (pixel & mask) == value.
struct ColourKey {
    std::uint32_t mask = 0;
    std::uint32_t value = 0;
};

enum class Blend {
    Zero,
    One,
    SrcColor,
    InvSrcColor,
    SrcAlpha,
    InvSrcAlpha,
    DestAlpha,
    InvDestAlpha,
    DestColor,
    InvDestColor,
};
enum class Compare { Never, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
enum class Cull { None, Clockwise, CounterClockwise };

struct RenderState {
    bool zEnable = true;
    bool zWrite = true;
    Compare zFunc = Compare::LessEqual;
    Cull cull = Cull::CounterClockwise;
    bool blendEnable = false;
    Blend srcBlend = Blend::One;
    Blend destBlend = Blend::Zero;
};

class Device {
public:
    // Called by present() with the finished back buffer and the rows of it that may differ
    // from the frame presented before; the platform shows it.
    using PresentHandler = std::function<void(const Surface& backBuffer, const ChangedRows& changed)>;

    Device(int width, int height, Format format = Format::X8R8G8B8);
    ~Device();

    int width() const { return backBuffer_.width(); }
    int height() const { return backBuffer_.height(); }
    Format format() const { return backBuffer_.format(); }

    void setPresentHandler(PresentHandler handler) { presentHandler_ = std::move(handler); }

    // Clears the whole target to colour (0xAARRGGBB) and the depth buffer to depth.
    void clear(std::uint32_t colour, float depth);
    void beginScene();
    void endScene();
    void present();

    void setWorld(const Matrix& m);
    void setView(const Matrix& m);
    void setProjection(const Matrix& m);
    const Matrix& world() const;
    const Matrix& view() const;
    const Matrix& projection() const;

    RenderState& renderState() { return state_; }
    const RenderState& renderState() const { return state_; }
    void setBlendEnable(bool on) { state_.blendEnable = on; }
    void setSrcBlend(Blend b) { state_.srcBlend = b; }
    void setDestBlend(Blend b) { state_.destBlend = b; }

    // Texture stage 0; null draws untextured with the vertex colour.
    void setTexture(const Texture* texture) { texture_ = texture; }
    const Texture* texture() const { return texture_; }

    // Draws the mesh's triangle list under world x view x projection.
    void drawMesh(const Mesh& mesh);

    Surface& backBuffer() {
        finishPending();
        return backBuffer_;
    }
    const Surface& backBuffer() const {
        finishPending();
        return backBuffer_;
    }
    // The 16-bit depth buffer, one value per back-buffer pixel (0 near .. 65535 far).
    const std::vector<std::uint16_t>& depthBuffer() const {
        finishPending();
        return depth_;
    }

    // Copies rect of src to (dx, dy) of dst; both must have the same format.
    static void copyRect(const Surface& src, const Rect& rect, Surface& dst, int dx, int dy);
    // Copies rect of src into the back buffer at (dx, dy), leaving out the keyed pixels:
    // the HUD's sprites. Unlike a copy through backBuffer(), the device knows where it
    // wrote, so the next frame puts back the kept start only there. False on differing
    // formats (nothing copied).
    bool copyKeyedToBackBuffer(const Surface& src, const Rect& rect, int dx, int dy, ColourKey key);

    std::uint64_t presentCount() const { return presentCount_; }

    // On by default. Tests switch the specialised pixel paths off to check that they
    // draw exactly what the general path draws.
    void setFastPaths(bool on) { fastPaths_ = on; }

    // On by default. Off, clears, draws, keyed copies and presents leave the buffers as
    // they are and show nothing: the game's rules never read a pixel, so a game checked
    // headless (a replay on the ranking server) runs them without the cost of drawing.
    void setDrawing(bool on) { drawing_ = on; }
    bool drawing() const { return drawing_; }

private:
    void updateViewProjection();
    // A clear waits for the draw after it, which may find the two already done (frame_start.h);
    // anything that looks at the buffers first gets the clear done at once. It also notes
    // whether someone else wrote the back buffer since our last draw.
    void finishPending() const;
    void forgetWhatWasDrawn() const;
    // Something other than our own drawing wrote the back buffer since we last did.
    bool writtenByOthers() const { return backBuffer_.version() != ownVersion_; }
    void rasterizeMesh(const Mesh& mesh);
    bool restoreFrameStart(const Mesh& mesh);
    void keepFrameStart();
    mutable Surface backBuffer_;
    mutable std::vector<std::uint16_t> depth_;
    mutable bool clearPending_ = false;
    mutable std::uint64_t ownVersion_ = 0;  // the back buffer's version after our last write
    std::uint32_t clearColour_ = 0;
    float clearDepth_ = 1.0f;
    std::unique_ptr<detail::FrameStartCache> frameStartCache_;
    mutable ChangedRows changedRows_;  // since the last present
    std::unique_ptr<detail::FrameStart> frameStart_;
    Matrix world_, view_, projection_;
    RenderState state_;
    const Texture* texture_ = nullptr;
    PresentHandler presentHandler_;
    std::uint64_t presentCount_ = 0;
    bool inScene_ = false;
    bool fastPaths_ = true;
    bool drawing_ = true;
    // view x projection in double precision, and its inverse (which turns a world plane
    // into screen-space depth); inverseValid_ is false for a singular projection.
    double viewProjection_[4][4] = {};
    double inverseViewProjection_[4][4] = {};
    bool inverseValid_ = false;
};

// A device-independent bitmap without file header (40-byte info header, 8-bit palette,
// bottom-up rows padded to 4 bytes). Returns an empty pointer on malformed bytes.
// Each side is rounded up to a power of two and the picture scaled to fill it; texels
// are opaque.
std::unique_ptr<Texture> CreateTextureFromBitmap(std::span<const std::uint8_t> dib, Format format = Format::X8R8G8B8);
// Copies the bitmap 1:1 into the surface's top-left corner in the surface's format
// (pure blue stays pure blue). Returns false on malformed bytes.
bool LoadSurfaceFromBitmap(Surface& surface, std::span<const std::uint8_t> dib);

// 0xAARRGGBB -> R5G6B5 and back.
std::uint16_t ToR5G6B5(std::uint32_t argb);
std::uint32_t FromR5G6B5(std::uint16_t pixel);

}  // namespace vemol::gfx
