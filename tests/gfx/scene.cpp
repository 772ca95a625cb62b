// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene.h"

#include <cstring>
#include <fstream>

namespace gfxtest {

vemol::gfx::Matrix gameView() { return vemol::gfx::MatrixLookAtLH({0, 50, 0}, {0, 0, 0}, {0, 0, 1}); }

vemol::gfx::Matrix gameProjection() { return vemol::gfx::MatrixPerspectiveFovLH(0.7853982f, 1.3333334f, 1.0f, 100.0f); }

void setGameCamera(vemol::gfx::Device& device) {
    device.setView(gameView());
    device.setProjection(gameProjection());
}

vemol::gfx::Mesh squareMesh(float half, std::uint32_t diffuse, const Corner (&uv)[4]) {
    vemol::gfx::Mesh mesh(6, 6);
    const float xs[4] = {half, half, -half, -half}, zs[4] = {-half, half, -half, half};
    vemol::gfx::QuadVertex* v = mesh.lockVertices();
    for (int i = 0; i < 4; ++i) v[i] = {xs[i], 0, zs[i], 0, 1, 0, diffuse, uv[i].u, uv[i].v};
    const std::uint16_t indices[6] = {1, 0, 2, 1, 2, 3};
    std::memcpy(mesh.lockIndices(), indices, sizeof indices);
    return mesh;
}

vemol::gfx::Mesh cubeMesh(float side, std::uint32_t diffuse) {
    static const int corners[6][4][3] = {
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}, {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},
        {{1, 1, -1}, {1, 1, 1}, {1, -1, 1}, {1, -1, -1}},     {{-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}},
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},     {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}};
    const float h = side / 2;
    vemol::gfx::Mesh mesh(24, 36);
    vemol::gfx::QuadVertex* v = mesh.lockVertices();
    std::uint16_t* idx = mesh.lockIndices();
    for (int g = 0; g < 6; ++g) {
        for (int n = 0; n < 4; ++n) {
            const int* c = corners[g][n];
            v[4 * g + n] = {h * c[0], h * c[1], h * c[2], 0, 0, 0, diffuse, 0, 0};
        }
        const int b = 4 * g;
        const int tri[6] = {b, b + 1, b + 2, b + 2, b + 3, b};
        for (int k = 0; k < 6; ++k) idx[6 * g + k] = static_cast<std::uint16_t>(tri[k]);
    }
    return mesh;
}

vemol::gfx::Matrix translation(float x, float y, float z) { return placed(vemol::gfx::MatrixIdentity(), x, y, z); }

vemol::gfx::Matrix placed(const vemol::gfx::Matrix& rotation, float x, float y, float z) {
    vemol::gfx::Matrix m = rotation;
    m.m[3][0] = x;
    m.m[3][1] = y;
    m.m[3][2] = z;
    return m;
}

std::vector<std::uint8_t> makeBitmap(const BitmapLayout& layout, std::uint8_t (*pixel)(int, int),
                                     std::uint32_t (*palette)(int)) {
    const int stride = (layout.width + 3) & ~3;
    std::vector<std::uint8_t> dib(40 + 4 * static_cast<std::size_t>(layout.storedColours) +
                                  static_cast<std::size_t>(stride) * layout.height);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<std::uint32_t>(layout.width));
    put32(8, static_cast<std::uint32_t>(layout.topDown ? -layout.height : layout.height));
    dib[12] = 1;
    dib[14] = 8;
    put32(32, static_cast<std::uint32_t>(layout.paletteSize == 256 ? 0 : layout.paletteSize));
    for (int i = 0; i < layout.storedColours; ++i) {
        const std::uint32_t c = palette(i);
        dib[40 + 4 * i] = static_cast<std::uint8_t>(c);
        dib[41 + 4 * i] = static_cast<std::uint8_t>(c >> 8);
        dib[42 + 4 * i] = static_cast<std::uint8_t>(c >> 16);
    }
    const std::size_t pixels = 40 + 4 * static_cast<std::size_t>(layout.storedColours);
    for (int y = 0; y < layout.height; ++y) {
        const int row = layout.topDown ? y : layout.height - 1 - y;
        for (int x = 0; x < layout.width; ++x) dib[pixels + static_cast<std::size_t>(row) * stride + x] = pixel(x, y);
    }
    return dib;
}

int countNot(const vemol::gfx::Surface& surface, std::uint32_t colour) {
    int n = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) n += surface.pixel(x, y) != colour;
    return n;
}

bool writePpm(const std::string& path, const vemol::gfx::Surface& surface) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << surface.width() << " " << surface.height() << "\n255\n";
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) {
            const std::uint32_t p = surface.pixel(x, y);
            const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
            out.write(rgb, 3);
        }
    return static_cast<bool>(out);
}

bool readPpm(const std::string& path, int& width, int& height, std::vector<std::uint8_t>& rgb) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    if (!(in >> magic >> width >> height >> maxValue) || magic != "P6" || maxValue != 255) return false;
    in.get();
    rgb.resize(static_cast<std::size_t>(width) * height * 3);
    in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    return static_cast<bool>(in);
}

}  // namespace gfxtest
