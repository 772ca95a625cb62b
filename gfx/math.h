// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// 4x4 matrices in row-vector layout (a point is a row vector multiplied on the left,
// translation in the fourth row), with the helpers the game calls. The formulas are
// the published ones of the fixed-function era's helper library.
namespace vemol::gfx {

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct Matrix {
    float m[4][4] = {};  // m[row][col]; m[3][0..2] is the translation
};

Matrix MatrixIdentity();
// a x b: with row vectors, b is applied after a.
Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
Matrix MatrixRotationX(float angle);
Matrix MatrixRotationY(float angle);
Matrix MatrixRotationZ(float angle);
Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up);
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
// Transforms (x, y, z, 1) by m and returns the homogeneous result.
void TransformPoint(const Matrix& m, float x, float y, float z, float out[4]);

}  // namespace vemol::gfx
