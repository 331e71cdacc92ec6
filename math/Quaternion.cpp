// SPDX-License-Identifier: GPL-3.0-or-later
#include "math/Quaternion.h"

#include <cmath>

namespace glassfalls {

Matrix4 Quaternion::toMatrix() const {
    Matrix4 r;
    r.m[0][0] = 1.0f - 2.0f * (y * y + z * z);
    r.m[0][1] = 2.0f * (x * y - z * w);
    r.m[0][2] = 2.0f * (x * z + y * w);
    r.m[1][0] = 2.0f * (x * y + z * w);
    r.m[1][1] = 1.0f - 2.0f * (x * x + z * z);
    r.m[1][2] = 2.0f * (y * z - x * w);
    r.m[2][0] = 2.0f * (x * z - y * w);
    r.m[2][1] = 2.0f * (y * z + x * w);
    r.m[2][2] = 1.0f - 2.0f * (x * x + y * y);
    r.m[3][3] = 1.0f;
    return r;
}

void Quaternion::fromAxisAngle(const Vector3& axis, float angle) {
    const float s = std::sin(angle * 0.5f);
    x = s * axis.x;
    y = s * axis.y;
    z = s * axis.z;
    w = std::cos(angle * 0.5f);
}

void Quaternion::product(const Quaternion& a, const Quaternion& b) {
    const Quaternion ca = a;
    const Quaternion cb = b;
    x = (cb.y * ca.z - cb.z * ca.y) + (ca.x * cb.w + cb.x * ca.w);
    y = (cb.z * ca.x - ca.z * cb.x) + (cb.y * ca.w + ca.y * cb.w);
    z = (ca.y * cb.x - cb.y * ca.x) + (cb.z * ca.w + ca.z * cb.w);
    w = ca.w * cb.w - (cb.z * ca.z + cb.y * ca.y + cb.x * ca.x);
}

}  // namespace glassfalls
