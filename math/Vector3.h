// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls {

struct Matrix4;

// A point or direction in world units. The operations keep the exact single-precision
// evaluation order that the trail geometry was tuned with, so results are bit-reproducible.
struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    float dot(const Vector3& b) const;
    Vector3 cross(const Vector3& b) const;

    // Multiplies the upper-left 3x3 block of `m` by this vector taken as a column: the
    // transpose of the row-vector convention used for drawing. With a matrix from
    // Quaternion::toMatrix it maps an object's local axes into the world.
    Vector3 rotate(const Matrix4& m) const;

    friend bool operator==(const Vector3&, const Vector3&) = default;
};

inline Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector3 operator*(float s, const Vector3& v) { return {s * v.x, s * v.y, s * v.z}; }

// |v|, from the dot product's own order of summation.
float length(const Vector3& v);
// v divided by its length; a zero vector (length exactly 0) stays as it is.
Vector3 normalise(const Vector3& v);

}  // namespace glassfalls
