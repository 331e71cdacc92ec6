// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "math/Matrix4.h"
#include "math/Vector3.h"

namespace glassfalls {

// Orientation as a quaternion (w is the scalar part). Never renormalised: the drift of a
// long chain of turns is part of how the objects move.
struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    // Rotation matrix in column form, for Vector3::rotate. Its affineInverse is the
    // row-vector world rotation used for drawing.
    Matrix4 toMatrix() const;

    // `axis` must be a unit vector; it is used as given. `angle` in radians.
    void fromAxisAngle(const Vector3& axis, float angle);

    // Sets this to b (x) a: rotation a first, then b, both in the same fixed frame.
    // Reads every input before writing, so this may alias a or b.
    void product(const Quaternion& a, const Quaternion& b);

    friend bool operator==(const Quaternion&, const Quaternion&) = default;
};

}  // namespace glassfalls
