// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "math/Matrix4.h"
#include "math/Vector3.h"

// The matrix and plane builders the scenes call by their published names, from the published
// formulas (left-handed, row-vector convention).
namespace glassfalls {

struct Plane {
    float a = 0, b = 0, c = 0, d = 0;
};

Matrix4 matrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);
Matrix4 matrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
Matrix4 matrixOrthoLH(float width, float height, float zNear, float zFar);
// The reflection about a plane (normalised first).
Matrix4 matrixReflect(const Plane& plane);
Plane planeFromPointNormal(const Vector3& point, const Vector3& normal);
// The unit vector along v; the zero vector stays zero.
Vector3 vec3Normalize(const Vector3& v);

}  // namespace glassfalls
