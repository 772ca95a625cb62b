// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Matrix helpers with the published formulas of the fixed-function era's helper
// library, in single precision as the game expects.
#include "gfx/math.h"

#include <cmath>

namespace vemol::gfx {
namespace {

Vec3 Subtract(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Normalize(const Vec3& v) {
    const float length = std::sqrt(Dot(v, v));
    if (length == 0.0f) return {};
    return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

Matrix MatrixIdentity() {
    Matrix r;
    for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
    return r;
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

Matrix MatrixRotationX(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix r = MatrixIdentity();
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Matrix MatrixRotationY(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix r = MatrixIdentity();
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Matrix MatrixRotationZ(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix r = MatrixIdentity();
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up) {
    const Vec3 zAxis = Normalize(Subtract(at, eye));
    const Vec3 xAxis = Normalize(Cross(up, zAxis));
    const Vec3 yAxis = Cross(zAxis, xAxis);
    Matrix r;
    const Vec3 axes[3] = {xAxis, yAxis, zAxis};
    for (int col = 0; col < 3; ++col) {
        r.m[0][col] = axes[col].x;
        r.m[1][col] = axes[col].y;
        r.m[2][col] = axes[col].z;
        r.m[3][col] = -Dot(axes[col], eye);
    }
    r.m[3][3] = 1.0f;
    return r;
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    Matrix r;
    r.m[0][0] = xScale;
    r.m[1][1] = yScale;
    r.m[2][2] = zFar / (zFar - zNear);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zNear * zFar / (zFar - zNear);
    return r;
}

void TransformPoint(const Matrix& m, float x, float y, float z, float out[4]) {
    for (int col = 0; col < 4; ++col) out[col] = x * m.m[0][col] + y * m.m[1][col] + z * m.m[2][col] + m.m[3][col];
}

}  // namespace vemol::gfx
