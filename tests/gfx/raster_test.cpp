// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the rasterizer covers: culling, the fill rule, pixel centres, clipping at the near
// plane, and the specialised pixel paths against the general one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "scene.h"

namespace {

using vemol::gfx::Blend;
using vemol::gfx::Device;
using vemol::gfx::QuadVertex;

// With identity view and projection, world x and y are the normalised device
// coordinates; these place a vertex at a pixel position instead.
QuadVertex atPixel(const Device& d, double px, double py, std::uint32_t colour) {
    const float x = static_cast<float>(px * 2.0 / d.width() - 1.0);
    const float y = static_cast<float>(1.0 - py * 2.0 / d.height());
    return {x, y, 0.5f, 0, 0, 0, colour, 0, 0};
}

vemol::gfx::Mesh meshOf(const std::vector<QuadVertex>& vertices, const std::vector<int>& indices) {
    vemol::gfx::Mesh mesh(static_cast<int>(vertices.size()), static_cast<int>(indices.size()));
    std::memcpy(mesh.lockVertices(), vertices.data(), vertices.size() * sizeof(QuadVertex));
    for (std::size_t i = 0; i < indices.size(); ++i) mesh.lockIndices()[i] = static_cast<std::uint16_t>(indices[i]);
    return mesh;
}

// Additive blending of 1 per draw without a depth test: every pixel's blue channel counts
// how many triangles drew it.
void countCoverage(Device& d) {
    d.clear(0xFF000000, 1.0f);
    d.renderState().zEnable = false;
    d.renderState().cull = vemol::gfx::Cull::None;
    d.setBlendEnable(true);
    d.setSrcBlend(Blend::One);
    d.setDestBlend(Blend::One);
}

TEST(Rasterizer, NeighbouringTrianglesNeitherOverlapNorLeaveGaps) {
    Device d(64, 48);
    countCoverage(d);
    // A rectangle of jittered triangles; its outline is straight and falls on quarter,
    // half and whole pixels so the top-left rule and the integer pixel centres decide.
    const double left = 5.25, right = 58.0, top = 4.0, bottom = 43.5;
    const int columns = 7, rows = 6;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> jitter(-300, 300);
    std::vector<QuadVertex> vertices;
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            double x = left + (right - left) * c / columns, y = top + (bottom - top) * r / rows;
            if (c > 0 && c < columns) x += jitter(random) / 256.0;
            if (r > 0 && r < rows) y += jitter(random) / 256.0;
            vertices.push_back(atPixel(d, x, y, 0xFF000001));
        }
    std::vector<int> indices;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int a = r * (columns + 1) + c, b = a + 1, e = a + columns + 1, f = e + 1;
            // Alternate the diagonal and the winding; culling is off.
            if ((r + c) % 2)
                indices.insert(indices.end(), {a, b, f, a, f, e});
            else
                indices.insert(indices.end(), {a, e, b, b, e, f});
        }
    d.drawMesh(meshOf(vertices, indices));
    for (int y = 0; y < d.height(); ++y)
        for (int x = 0; x < d.width(); ++x) {
            const bool inside = x >= left && x < right && y >= top && y < bottom;
            ASSERT_EQ(d.backBuffer().pixel(x, y) & 0xFF, inside ? 1u : 0u) << x << "," << y;
        }
}

TEST(Rasterizer, TrianglesMeetingAtOneVertexDrawItOnce) {
    Device d(16, 16);
    countCoverage(d);
    // Eight triangles fanned around a vertex exactly on the pixel centre (8, 8).
    std::vector<QuadVertex> vertices{atPixel(d, 8, 8, 0xFF000001)};
    const double ring[8][2] = {{14, 8}, {14, 14}, {8, 14}, {2, 14}, {2, 8}, {2, 2}, {8, 2}, {14, 2}};
    for (const auto& p : ring) vertices.push_back(atPixel(d, p[0], p[1], 0xFF000001));
    std::vector<int> indices;
    for (int i = 0; i < 8; ++i) indices.insert(indices.end(), {0, 1 + i, 1 + (i + 1) % 8});
    d.drawMesh(meshOf(vertices, indices));
    EXPECT_EQ(d.backBuffer().pixel(8, 8) & 0xFF, 1u);
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 14; ++x) ASSERT_EQ(d.backBuffer().pixel(x, y) & 0xFF, 1u) << x << "," << y;
}

// Draws one face group of the cube seen from `eye` looking at `at` and counts the pixels.
int drawnPixelsOfFace(int group, vemol::gfx::Vec3 eye, vemol::gfx::Vec3 at, vemol::gfx::Vec3 up) {
    const vemol::gfx::Mesh cube = gfxtest::cubeMesh(3.0f, 0xFFFF0000);
    std::vector<QuadVertex> vertices(cube.vertices().begin() + 4 * group, cube.vertices().begin() + 4 * group + 4);
    const vemol::gfx::Mesh face = meshOf(vertices, {0, 1, 2, 2, 3, 0});
    Device d(64, 48);
    d.setView(vemol::gfx::MatrixLookAtLH(eye, at, up));
    d.setProjection(gfxtest::gameProjection());
    d.clear(0xFF000000, 1.0f);
    d.drawMesh(face);
    return gfxtest::countNot(d.backBuffer(), 0xFF000000);
}

TEST(Rasterizer, CubeFacesFaceOutward) {
    const vemol::gfx::Vec3 normals[6] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int g = 0; g < 6; ++g) {
        const vemol::gfx::Vec3 n = normals[g];
        const vemol::gfx::Vec3 up = n.y != 0 ? vemol::gfx::Vec3{0, 0, 1} : vemol::gfx::Vec3{0, 1, 0};
        const vemol::gfx::Vec3 outside{10 * n.x, 10 * n.y, 10 * n.z};
        EXPECT_GT(drawnPixelsOfFace(g, outside, {0, 0, 0}, up), 200) << "group " << g;
        // From the centre of the cube, looking at the same face: culled.
        EXPECT_EQ(drawnPixelsOfFace(g, {0, 0, 0}, n, up), 0) << "group " << g;
    }
}

TEST(Rasterizer, GameSquaresSurviveCullingAndClockwiseCullDropsThem) {
    Device d(64, 48);
    gfxtest::setGameCamera(d);
    d.clear(0xFF000000, 1.0f);
    d.drawMesh(gfxtest::squareMesh(5.0f, 0xFFFFFFFF));
    EXPECT_GT(gfxtest::countNot(d.backBuffer(), 0xFF000000), 50);
    d.clear(0xFF000000, 1.0f);
    d.renderState().cull = vemol::gfx::Cull::Clockwise;
    d.drawMesh(gfxtest::squareMesh(5.0f, 0xFFFFFFFF));
    EXPECT_EQ(gfxtest::countNot(d.backBuffer(), 0xFF000000), 0);
}

// Pixel centres sit on integer coordinates: a texel edge that falls exactly on a pixel
// centre gives that pixel the texel beyond the edge, and wrap repeats the texture.
TEST(Rasterizer, PointSamplingPicksTheTexelBeyondAnEdgeAndWraps) {
    const auto bitmap = gfxtest::makeBitmap(
        {4, 4}, [](int x, int y) { return static_cast<std::uint8_t>(4 * y + x); },
        [](int i) { return static_cast<std::uint32_t>(i * 0x100 + i * 16); });
    const auto texture = vemol::gfx::CreateTextureFromBitmap(bitmap);
    ASSERT_TRUE(texture);
    struct Case {
        float u0, u1, v0, v1;
        int pixelsPerTexel;
    };
    for (const Case c : {Case{0, 1, 0, 1, 4}, Case{0, 2, 0, 2, 2}, Case{-3, -1, 2, 4, 2}}) {
        Device d(16, 16);
        d.renderState().cull = vemol::gfx::Cull::None;
        d.setTexture(texture.get());
        d.clear(0xFF000000, 1.0f);
        std::vector<QuadVertex> v{atPixel(d, 0, 0, 0xFFFFFFFF), atPixel(d, 16, 0, 0xFFFFFFFF),
                                  atPixel(d, 0, 16, 0xFFFFFFFF), atPixel(d, 16, 16, 0xFFFFFFFF)};
        v[0].u = v[2].u = c.u0;
        v[1].u = v[3].u = c.u1;
        v[0].v = v[1].v = c.v0;
        v[2].v = v[3].v = c.v1;
        d.drawMesh(meshOf(v, {0, 1, 2, 1, 3, 2}));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int tx = (x / c.pixelsPerTexel) % 4, ty = (y / c.pixelsPerTexel) % 4;
                ASSERT_EQ(d.backBuffer().pixel(x, y), texture->level0().pixel(tx, ty))
                    << x << "," << y << " u " << c.u0;
            }
    }
}

TEST(Rasterizer, BrokenGeometryDrawsNothingAndNothingElseGoesWrong) {
    Device d(64, 48);
    gfxtest::setGameCamera(d);
    d.clear(0xFF000000, 1.0f);
    const float nan = std::nanf(""), inf = INFINITY;
    std::vector<QuadVertex> v = {{0, 0, 0, 0, 1, 0, 0xFFFFFFFF, 0, 0},
                                 {nan, 0, 5, 0, 1, 0, 0xFFFFFFFF, 0, 0},
                                 {5, 0, 0, 0, 1, 0, 0xFFFFFFFF, 0, 0},
                                 {inf, 0, -inf, 0, 1, 0, 0xFFFFFFFF, 0, 0},
                                 {2, 0, 2, 0, 1, 0, 0xFFFFFFFF, 0, 0}};
    // NaN and infinite corners, a corner index past the vertices, a degenerate triangle,
    // and a dangling last index.
    d.drawMesh(meshOf(v, {1, 0, 2, 3, 0, 2, 0, 9, 2, 0, 4, 4, 0}));
    EXPECT_EQ(gfxtest::countNot(d.backBuffer(), 0xFF000000), 0);
    // Texture coordinates far beyond the texture still wrap.
    const auto texture = vemol::gfx::CreateTextureFromBitmap(gfxtest::makeBitmap(
        {2, 2}, [](int x, int y) { return static_cast<std::uint8_t>(x + 2 * y); },
        [](int i) { return 0x102030u * static_cast<std::uint32_t>(i + 1); }));
    const gfxtest::Corner far[4] = {{1e9f, -1e9f}, {1e9f, 3e9f}, {-4e9f, 1e9f}, {nan, inf}};
    d.setTexture(texture.get());
    d.drawMesh(gfxtest::squareMesh(10.0f, 0xFFFFFFFF, far));
    EXPECT_GT(gfxtest::countNot(d.backBuffer(), 0xFF000000), 100);
}

}  // namespace
