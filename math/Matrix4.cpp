// SPDX-License-Identifier: GPL-3.0-or-later
#include "math/Matrix4.h"

namespace glassfalls {

Matrix4 Matrix4::identity() {
    Matrix4 r;
    r.m[0][0] = r.m[1][1] = r.m[2][2] = r.m[3][3] = 1.0f;
    return r;
}

Matrix4 Matrix4::translation(float x, float y, float z) {
    Matrix4 r = identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix4 Matrix4::multiply(const Matrix4& b) const {
    Matrix4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            r.m[row][col] =
                m[row][0] * b.m[0][col] + m[row][1] * b.m[1][col] + m[row][2] * b.m[2][col] + m[row][3] * b.m[3][col];
        }
    }
    return r;
}

Matrix4 Matrix4::affineInverse() const {
    const float c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    const float c10 = m[2][2] * m[1][0] - m[1][2] * m[2][0];
    const float c20 = m[2][1] * m[1][0] - m[1][1] * m[2][0];
    const float det = c00 * m[0][0] - c10 * m[0][1] + c20 * m[0][2];
    const float f = 1.0f / det;

    Matrix4 r;
    r.m[0][0] = c00 * f;
    r.m[0][1] = -(m[0][1] * m[2][2] - m[2][1] * m[0][2]) * f;
    r.m[0][2] = (m[0][1] * m[1][2] - m[1][1] * m[0][2]) * f;
    r.m[1][0] = -c10 * f;
    r.m[1][1] = (m[2][2] * m[0][0] - m[2][0] * m[0][2]) * f;
    r.m[1][2] = -(m[1][2] * m[0][0] - m[1][0] * m[0][2]) * f;
    r.m[2][0] = c20 * f;
    r.m[2][1] = -(m[2][1] * m[0][0] - m[0][1] * m[2][0]) * f;
    r.m[2][2] = (m[1][1] * m[0][0] - m[0][1] * m[1][0]) * f;
    for (int c = 0; c < 3; ++c) {
        r.m[3][c] = -(r.m[0][c] * m[3][0] + r.m[2][c] * m[3][2] + r.m[1][c] * m[3][1]);
    }
    r.m[3][3] = 1.0f;
    return r;
}

}  // namespace glassfalls
