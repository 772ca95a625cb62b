// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Depth: the coplanar rule the game's flat scene lives by, 16-bit quantization, and the
// near plane cutting a picture tipped up past the eye.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "scene.h"

namespace {

using vemol::gfx::Device;
using gfxtest::kHeight;
using gfxtest::kWidth;

constexpr std::uint32_t kBackdropColour = 0xFF204060;
constexpr std::uint32_t kLaterColour = 0xFFE0C0A0;

std::vector<bool> coverageOf(const vemol::gfx::Mesh& mesh, const vemol::gfx::Matrix& world) {
    Device d(kWidth, kHeight);
    gfxtest::setGameCamera(d);
    d.clear(0xFF000000, 1.0f);
    d.setWorld(world);
    d.drawMesh(mesh);
    std::vector<bool> covered(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            covered[static_cast<std::size_t>(y) * kWidth + x] = d.backBuffer().pixel(x, y) != 0xFF000000;
    return covered;
}

// Everything lying flat in the backdrop's plane and drawn after it shows at every pixel
// it covers, whatever its size, spin and position. Seen straight down the board's depth is
// the same everywhere; under a tilted parent it changes from pixel to pixel, and the rule
// must hold all the same.
void expectLaterDrawsShow(const vemol::gfx::Matrix& parent) {
    const vemol::gfx::Mesh backdrop = gfxtest::squareMesh(35.0f, kBackdropColour);
    struct Piece {
        float half, spin, x, z;
    };
    const Piece pieces[] = {{35.0f, 0.0f, 0.0f, 0.0f},    {35.0f, 0.37f, -3.3f, 2.9f},  {1.4f, 0.0f, 0.0f, 0.0f},
                            {1.4f, 2.1f, -19.7f, 13.3f},  {1.4f, 5.9f, 22.35f, -17.9f}, {2.5f, 0.0f, 8.1f, 17.7f},
                            {2.5f, 1.0f, -16.0f, -10.0f}, {1.8f, 0.8f, 13.37f, -4.21f}};
    for (const Piece& p : pieces) {
        const vemol::gfx::Mesh piece = gfxtest::squareMesh(p.half, kLaterColour);
        const vemol::gfx::Matrix world =
            vemol::gfx::MatrixMultiply(gfxtest::placed(vemol::gfx::MatrixRotationY(p.spin), p.x, 0.0f, p.z), parent);
        const std::vector<bool> covered = coverageOf(piece, world);
        Device d(kWidth, kHeight);
        gfxtest::setGameCamera(d);
        d.clear(0xFFFBEDB5, 1.0f);
        d.setWorld(vemol::gfx::MatrixMultiply(gfxtest::translation(7.0f, 0.0f, -14.0f), parent));
        d.drawMesh(backdrop);
        d.setWorld(world);
        d.drawMesh(piece);
        int shown = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                if (!covered[static_cast<std::size_t>(y) * kWidth + x]) continue;
                ASSERT_EQ(d.backBuffer().pixel(x, y), kLaterColour)
                    << "piece " << p.half << "/" << p.spin << " at " << x << "," << y;
                ++shown;
            }
        EXPECT_GT(shown, 100) << "piece " << p.half << "/" << p.spin;
    }
}

TEST(Depth, LaterDrawsInTheBackdropPlaneAlwaysShow) {
    expectLaterDrawsShow(vemol::gfx::MatrixIdentity());
    expectLaterDrawsShow(
        vemol::gfx::MatrixMultiply(vemol::gfx::MatrixRotationX(0.45f), vemol::gfx::MatrixRotationZ(-0.2f)));
    expectLaterDrawsShow(gfxtest::placed(vemol::gfx::MatrixRotationZ(0.3f), 1.0f, -3.0f, 2.0f));
}

TEST(Depth, BackdropDrawnLaterHidesWhatLiesInItsPlane) {
    Device d(kWidth, kHeight);
    gfxtest::setGameCamera(d);
    d.clear(0xFFFBEDB5, 1.0f);
    d.setWorld(vemol::gfx::MatrixRotationY(0.4f));
    d.drawMesh(gfxtest::squareMesh(1.4f, kLaterColour));
    d.setWorld(gfxtest::translation(7.0f, 0.0f, -14.0f));
    d.drawMesh(gfxtest::squareMesh(35.0f, kBackdropColour));
    EXPECT_EQ(gfxtest::countNot(d.backBuffer(), kBackdropColour), 0);
}

TEST(Depth, HigherThingsCoverLowerOnesAndDepthIsSixteenBit) {
    Device d(kWidth, kHeight);
    gfxtest::setGameCamera(d);
    d.clear(0xFFFBEDB5, 1.0f);
    d.setWorld(gfxtest::translation(0.0f, 4.0f, 0.0f));  // a shot, above the board
    d.drawMesh(gfxtest::squareMesh(1.4f, kLaterColour));
    d.setWorld(gfxtest::translation(7.0f, 0.0f, -14.0f));
    d.drawMesh(gfxtest::squareMesh(35.0f, kBackdropColour));
    EXPECT_EQ(d.backBuffer().pixel(kWidth / 2, kHeight / 2), kLaterColour);
    EXPECT_EQ(d.backBuffer().pixel(10, 10), kBackdropColour);

    // z/w of the board, 50 below the eye, in 16-bit steps.
    const vemol::gfx::Matrix p = gfxtest::gameProjection();
    const double board = (50.0 * p.m[2][2] + p.m[3][2]) / 50.0;
    const double shot = (46.0 * p.m[2][2] + p.m[3][2]) / 46.0;
    EXPECT_NEAR(d.depthBuffer()[10 * kWidth + 10], board * 65535.0, 0.5 + 1e-6);
    EXPECT_NEAR(d.depthBuffer()[(kHeight / 2) * kWidth + kWidth / 2], shot * 65535.0, 0.5 + 1e-6);
    d.clear(0xFF000000, 0.5f);
    EXPECT_EQ(d.depthBuffer()[0], 32768);
}

// Where the ray through a pixel centre meets the tipped square; false outside it or
// outside the view volume.
struct TippedSquare {
    double origin[3], axisX[3], axisZ[3];
    double half;
};

bool rayHits(const TippedSquare& s, int px, int py, double& viewDepth, bool* onSquare = nullptr) {
    const vemol::gfx::Matrix p = gfxtest::gameProjection();
    const double xn = 2.0 * px / kWidth - 1.0, yn = 1.0 - 2.0 * py / kHeight;
    // The camera's ray: eye (0, 50, 0), per unit of view depth x, y, z move like this.
    const double d[3] = {xn / p.m[0][0], -1.0, yn / p.m[1][1]};
    const double e[3] = {0.0 - s.origin[0], 50.0 - s.origin[1], 0.0 - s.origin[2]};
    // Solve e + t d = a axisX + b axisZ by Cramer's rule on [axisX axisZ -d].
    auto det3 = [](const double* c0, const double* c1, const double* c2) {
        return c0[0] * (c1[1] * c2[2] - c1[2] * c2[1]) - c1[0] * (c0[1] * c2[2] - c0[2] * c2[1]) +
               c2[0] * (c0[1] * c1[2] - c0[2] * c1[1]);
    };
    const double minusD[3] = {-d[0], -d[1], -d[2]};
    const double det = det3(s.axisX, s.axisZ, minusD);
    if (std::fabs(det) < 1e-12) return false;
    const double a = det3(e, s.axisZ, minusD) / det;
    const double b = det3(s.axisX, e, minusD) / det;
    const double t = det3(s.axisX, s.axisZ, e) / det;
    viewDepth = t;
    if (onSquare) *onSquare = std::fabs(a) <= s.half && std::fabs(b) <= s.half;
    return std::fabs(a) <= s.half && std::fabs(b) <= s.half && t >= 1.0 && t <= 100.0;
}

void expectTippedSquareClipped(float angle, float y, float z, bool cutInView) {
    const vemol::gfx::Matrix world = gfxtest::placed(vemol::gfx::MatrixRotationX(angle), 3.0f, y, z);
    const TippedSquare square{{3.0, y, z},
                              {world.m[0][0], world.m[0][1], world.m[0][2]},
                              {world.m[2][0], world.m[2][1], world.m[2][2]},
                              35.0};
    Device d(kWidth, kHeight);
    gfxtest::setGameCamera(d);
    d.clear(0xFF000000, 1.0f);
    d.setWorld(world);
    d.drawMesh(gfxtest::squareMesh(35.0f, 0xFFFFFFFF));
    int drawn = 0, nearPlaneCrossings = 0;
    for (int py = 0; py < kHeight; ++py)
        for (int px = 0; px < kWidth; ++px) {
            const bool isDrawn = d.backBuffer().pixel(px, py) != 0xFF000000;
            double depth = 0.0;
            bool onSquare = false;
            const bool expected = rayHits(square, px, py, depth, &onSquare);
            drawn += isDrawn;
            nearPlaneCrossings += onSquare && depth > 0.0 && depth < 1.0;
            if (isDrawn == expected) continue;
            // Only pixels whose centre lies within a pixel of the square's outline may differ.
            bool nearOutline = false;
            for (int dy = -1; dy <= 1 && !nearOutline; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    double other = 0.0;
                    if (rayHits(square, px + dx, py + dy, other) != expected) nearOutline = true;
                }
            ASSERT_TRUE(nearOutline) << "angle " << angle << " pixel " << px << "," << py
                                     << (isDrawn ? " drawn" : " missing");
        }
    EXPECT_GT(drawn, 1000);
    if (cutInView) {
        EXPECT_GT(nearPlaneCrossings, 0) << "angle " << angle << ": no part of the square is cut";
    }
}

TEST(Depth, SquareTippedPastTheEyeIsCutAtTheNearPlane) {
    // Step 41 of the new-game transition: the last one before the picture turns its back
    // to the camera; its upper edge is already past the near plane, out of view.
    expectTippedSquareClipped(41 * -0.03f, (41 - 8) * 0.5f, -10.8f, false);
    // A square whose plane passes 0.3 units in front of the eye.
    const float angle = -1.2f;
    const double s = std::sin(angle), c = std::cos(angle);
    // After the turn the local z axis is (0, -s, c) and the normal (0, c, s).
    expectTippedSquareClipped(angle, static_cast<float>(50.0 + 10.0 * s - 0.3 * c),
                              static_cast<float>(-10.0 * c - 0.3 * s), true);
}

}  // namespace
