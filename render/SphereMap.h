// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "math/Matrix4.h"
#include "math/Vector3.h"

namespace glassfalls {

// Where a surface with normal `n` looks up a sphere map, seen through the first two columns
// of `m` (the world-view matrix): the normal turned toward the camera picks the point of
// the picture, (0.5, 0.5) facing it.
inline void sphereMapCoordinates(const Vector3& n, const Matrix4& m, float& u, float& v) {
    const auto& w = m.m;
    u = (n.x * w[0][0] + n.y * w[1][0] + n.z * w[2][0] + 1.0f) * 0.5f;
    v = (1.0f - (n.x * w[0][1] + n.y * w[1][1] + n.z * w[2][1])) * 0.5f;
}

}  // namespace glassfalls
