// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls {

// Row-major 4x4 matrix in the row-vector convention used for drawing: p' = p x M, the
// translation in row 3. The memory layout is also what OpenGL's column-major loaders expect.
struct Matrix4 {
    float m[4][4] = {};  // Default-constructed as all zeros, deliberately not the identity.

    static Matrix4 identity();
    static Matrix4 translation(float x, float y, float z);

    // this x b, all sixteen elements (no affine shortcut).
    Matrix4 multiply(const Matrix4& b) const;

    // Inverse of a matrix whose last column is (0, 0, 0, 1). Callers pass rotations and
    // translations only, so a singular matrix is a programming error and is not tested for.
    Matrix4 affineInverse() const;

    friend bool operator==(const Matrix4&, const Matrix4&) = default;
};

}  // namespace glassfalls
