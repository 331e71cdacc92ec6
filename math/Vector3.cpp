// SPDX-License-Identifier: GPL-3.0-or-later
#include "math/Vector3.h"

#include <cmath>

#include "math/Matrix4.h"

namespace glassfalls {

float Vector3::dot(const Vector3& b) const { return (z * b.z + y * b.y) + x * b.x; }

Vector3 Vector3::cross(const Vector3& b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x}; }

Vector3 Vector3::rotate(const Matrix4& m) const {
    const auto& r = m.m;
    return {r[0][2] * z + r[0][1] * y + r[0][0] * x, r[1][2] * z + r[1][0] * x + r[1][1] * y,
            r[2][2] * z + r[2][0] * x + r[2][1] * y};
}

float length(const Vector3& v) { return std::sqrt(v.dot(v)); }

Vector3 normalise(const Vector3& v) {
    const float l = length(v);
    if (l == 0.0f) return v;
    return {v.x / l, v.y / l, v.z / l};
}

}  // namespace glassfalls
