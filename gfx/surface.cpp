// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Surfaces, textures and meshes: plain memory the game locks and writes directly.
#include <algorithm>
#include <atomic>
#include <cstring>

#include "gfx/device.h"
#include "gfx/pixel.h"

namespace vemol::gfx {

int BytesPerPixel(Format format) { return format == Format::R5G6B5 ? 2 : 4; }

std::uint16_t ToR5G6B5(std::uint32_t argb) { return ToR5G6B5Inline(argb); }
std::uint32_t FromR5G6B5(std::uint16_t pixel) { return FromR5G6B5Inline(pixel); }

Surface::Surface(int width, int height, Format format)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      format_(format),
      pitch_(width_ * BytesPerPixel(format)),
      pixels_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height_)) {
    touch();
}

void Surface::touch() {
    static std::atomic<std::uint64_t> lastVersion{0};
    version_ = lastVersion.fetch_add(1, std::memory_order_relaxed) + 1;
}

LockedRect Surface::lock() { return lock(Rect{0, 0, width_, height_}); }

LockedRect Surface::lock(const Rect& rect) {
    const int left = std::max(rect.left, 0), top = std::max(rect.top, 0);
    const int right = std::min(rect.right, width_), bottom = std::min(rect.bottom, height_);
    if (left >= right || top >= bottom) return {};
    touch();
    return {pixels_.data() + static_cast<std::size_t>(top) * pitch_ +
                static_cast<std::size_t>(left) * BytesPerPixel(format_),
            pitch_};
}

std::uint32_t Surface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return ReadPixel(pixels_.data() + static_cast<std::size_t>(y) * pitch_, x, format_);
}

Texture::Texture(int width, int height, Format format) : surface_(width, height, format) {}

Mesh::Mesh(int vertexCount, int indexCount)
    : vertices_(static_cast<std::size_t>(std::max(vertexCount, 0)), QuadVertex{}),
      indices_(static_cast<std::size_t>(std::max(indexCount, 0)), 0) {}

void Device::copyRect(const Surface& src, const Rect& rect, Surface& dst, int dx, int dy) {
    // Clip the source rectangle to the source, then the moved rectangle to the target.
    int left = std::max(rect.left, 0), top = std::max(rect.top, 0);
    int right = std::min(rect.right, src.width()), bottom = std::min(rect.bottom, src.height());
    dx += left - rect.left;
    dy += top - rect.top;
    if (dx < 0) {
        left -= dx;
        dx = 0;
    }
    if (dy < 0) {
        top -= dy;
        dy = 0;
    }
    right = std::min(right, left + dst.width() - dx);
    bottom = std::min(bottom, top + dst.height() - dy);
    if (left >= right || top >= bottom) return;

    const int rows = bottom - top, columns = right - left;
    for (int r = 0; r < rows; ++r) {
        const std::uint8_t* from = src.data() + static_cast<std::size_t>(top + r) * src.pitch();
        std::uint8_t* to = dst.data() + static_cast<std::size_t>(dy + r) * dst.pitch();
        if (src.format() == dst.format()) {
            const int bpp = BytesPerPixel(src.format());
            std::memmove(to + static_cast<std::size_t>(dx) * bpp, from + static_cast<std::size_t>(left) * bpp,
                         static_cast<std::size_t>(columns) * bpp);
        } else {
            // Differing formats are converted pixel by pixel rather than copied as raw bytes.
            for (int c = 0; c < columns; ++c)
                WritePixel(to, dx + c, dst.format(), ReadPixel(from, left + c, src.format()));
        }
    }
}

}  // namespace vemol::gfx
