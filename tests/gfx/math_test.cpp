// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The matrix helpers and the game's camera, checked through the points they move.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx/math.h"
#include "scene.h"

namespace {

struct Projected {
    float x, y, z;
};

Projected Project(const vemol::gfx::Matrix& m, float x, float y, float z) {
    float out[4];
    vemol::gfx::TransformPoint(m, x, y, z, out);
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}

void expectPoint(const vemol::gfx::Matrix& m, float x, float y, float z, float ex, float ey, float ez) {
    float out[4];
    vemol::gfx::TransformPoint(m, x, y, z, out);
    EXPECT_NEAR(out[0], ex, 1e-6f);
    EXPECT_NEAR(out[1], ey, 1e-6f);
    EXPECT_NEAR(out[2], ez, 1e-6f);
    EXPECT_NEAR(out[3], 1.0f, 1e-6f);
}

TEST(Matrices, RotationsTurnTheWayTheGameExpects) {
    const float quarter = 1.5707964f;
    // Row vectors: rotation about y takes +x to -z, about x takes +y to +z, about z +x to +y.
    expectPoint(vemol::gfx::MatrixRotationY(quarter), 1, 0, 0, 0, 0, -1);
    expectPoint(vemol::gfx::MatrixRotationY(quarter), 0, 0, 1, 1, 0, 0);
    expectPoint(vemol::gfx::MatrixRotationX(quarter), 0, 1, 0, 0, 0, 1);
    expectPoint(vemol::gfx::MatrixRotationX(quarter), 0, 0, 1, 0, -1, 0);
    expectPoint(vemol::gfx::MatrixRotationZ(quarter), 1, 0, 0, 0, 1, 0);
    expectPoint(vemol::gfx::MatrixRotationZ(quarter), 0, 1, 0, -1, 0, 0);
    const vemol::gfx::Matrix y = vemol::gfx::MatrixRotationY(0.5f);
    EXPECT_FLOAT_EQ(y.m[0][0], std::cos(0.5f));
    EXPECT_FLOAT_EQ(y.m[0][2], -std::sin(0.5f));
    EXPECT_FLOAT_EQ(y.m[2][0], std::sin(0.5f));
    EXPECT_FLOAT_EQ(y.m[1][1], 1.0f);
    EXPECT_FLOAT_EQ(y.m[3][3], 1.0f);
}

TEST(Matrices, MultiplyAppliesTheLeftMatrixFirst) {
    const vemol::gfx::Matrix turnThenMove =
        vemol::gfx::MatrixMultiply(vemol::gfx::MatrixRotationY(1.5707964f), gfxtest::translation(10, 0, 0));
    expectPoint(turnThenMove, 1, 0, 0, 10, 0, -1);
    const vemol::gfx::Matrix moveThenTurn =
        vemol::gfx::MatrixMultiply(gfxtest::translation(10, 0, 0), vemol::gfx::MatrixRotationY(1.5707964f));
    expectPoint(moveThenTurn, 1, 0, 0, 0, 0, -11);
    const vemol::gfx::Matrix same = vemol::gfx::MatrixMultiply(vemol::gfx::MatrixIdentity(), turnThenMove);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(same.m[i][j], turnThenMove.m[i][j]);
}

TEST(Matrices, GameViewLooksStraightDownWithZUp) {
    // Screen right is +x, screen up is +z, depth is the distance below the eye.
    expectPoint(gfxtest::gameView(), 3, 7, 11, 3, 11, 43);
    expectPoint(gfxtest::gameView(), 0, 50, 0, 0, 0, 0);
}

TEST(Matrices, GameCameraSeesTheBoardAndTheTitleDepth) {
    const vemol::gfx::Matrix vp = vemol::gfx::MatrixMultiply(gfxtest::gameView(), gfxtest::gameProjection());
    struct Case {
        float y, halfWidth, halfHeight;
    };
    for (const Case c : {Case{0.0f, 27.614f, 20.711f}, Case{-8.0f, 32.033f, 24.024f}, Case{-2.0f, 28.719f, 21.539f}}) {
        EXPECT_NEAR(Project(vp, c.halfWidth, c.y, 0).x, 1.0f, 1e-4f) << c.y;
        EXPECT_NEAR(Project(vp, -c.halfWidth, c.y, 0).x, -1.0f, 1e-4f) << c.y;
        EXPECT_NEAR(Project(vp, 0, c.y, c.halfHeight).y, 1.0f, 1e-4f) << c.y;
        EXPECT_NEAR(Project(vp, 0, c.y, -c.halfHeight).y, -1.0f, 1e-4f) << c.y;
    }
    // Depth runs from 0 at the near plane (1 below the eye) to 1 at the far plane.
    EXPECT_NEAR(Project(vp, 0, 49, 0).z, 0.0f, 1e-6f);
    EXPECT_NEAR(Project(vp, 0, -50, 0).z, 1.0f, 1e-6f);
    EXPECT_NEAR(Project(vp, 0, 0, 0).z, (50.0f - 1.0f) * 100.0f / 99.0f / 50.0f, 1e-6f);
}

TEST(Matrices, PerspectiveFovHasThePublishedLayout) {
    const vemol::gfx::Matrix p = vemol::gfx::MatrixPerspectiveFovLH(0.7853982f, 1.3333334f, 1.0f, 100.0f);
    const float yScale = 1.0f / std::tan(0.7853982f / 2);
    EXPECT_FLOAT_EQ(p.m[1][1], yScale);
    EXPECT_FLOAT_EQ(p.m[0][0], yScale / 1.3333334f);
    EXPECT_FLOAT_EQ(p.m[2][2], 100.0f / 99.0f);
    EXPECT_FLOAT_EQ(p.m[3][2], -100.0f / 99.0f);
    EXPECT_EQ(p.m[2][3], 1.0f);
    EXPECT_EQ(p.m[3][3], 0.0f);
}

}  // namespace
