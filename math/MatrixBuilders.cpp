// SPDX-License-Identifier: GPL-3.0-or-later
#include "math/MatrixBuilders.h"

#include <cmath>

namespace glassfalls {

namespace {

float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace

Vector3 vec3Normalize(const Vector3& v) {
    const float length = std::sqrt(dot(v, v));
    if (length == 0.0f) return {};
    return {v.x / length, v.y / length, v.z / length};
}

Matrix4 matrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up) {
    const Vector3 zAxis = vec3Normalize({at.x - eye.x, at.y - eye.y, at.z - eye.z});
    const Vector3 xAxis = vec3Normalize(cross(up, zAxis));
    const Vector3 yAxis = cross(zAxis, xAxis);
    Matrix4 m;
    m.m[0][0] = xAxis.x, m.m[0][1] = yAxis.x, m.m[0][2] = zAxis.x;
    m.m[1][0] = xAxis.y, m.m[1][1] = yAxis.y, m.m[1][2] = zAxis.y;
    m.m[2][0] = xAxis.z, m.m[2][1] = yAxis.z, m.m[2][2] = zAxis.z;
    m.m[3][0] = -dot(xAxis, eye), m.m[3][1] = -dot(yAxis, eye), m.m[3][2] = -dot(zAxis, eye);
    m.m[3][3] = 1.0f;
    return m;
}

Matrix4 matrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    Matrix4 m;
    m.m[0][0] = yScale / aspect;
    m.m[1][1] = yScale;
    m.m[2][2] = zFar / (zFar - zNear);
    m.m[2][3] = 1.0f;
    m.m[3][2] = -zNear * zFar / (zFar - zNear);
    return m;
}

Matrix4 matrixOrthoLH(float width, float height, float zNear, float zFar) {
    Matrix4 m;
    m.m[0][0] = 2.0f / width;
    m.m[1][1] = 2.0f / height;
    m.m[2][2] = 1.0f / (zFar - zNear);
    m.m[3][2] = zNear / (zNear - zFar);
    m.m[3][3] = 1.0f;
    return m;
}

Matrix4 matrixReflect(const Plane& plane) {
    const float length = std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c);
    const float s = length == 0.0f ? 0.0f : 1.0f / length;
    const float n[4] = {plane.a * s, plane.b * s, plane.c * s, plane.d * s};
    Matrix4 m;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            m.m[row][column] = -2.0f * n[column] * n[row] + (row == column ? 1.0f : 0.0f);
        }
    }
    m.m[3][3] = 1.0f;
    return m;
}

Plane planeFromPointNormal(const Vector3& point, const Vector3& normal) {
    return {normal.x, normal.y, normal.z, -dot(point, normal)};
}

}  // namespace glassfalls
