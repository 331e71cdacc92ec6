// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "math/MatrixBuilders.h"

namespace glassfalls {
namespace {

struct Point4 {
    float x, y, z, w;
};

// Row vector times matrix, as the device transforms points.
Point4 transform(const Vector3& p, const Matrix4& m) {
    Point4 r{};
    float* out[4] = {&r.x, &r.y, &r.z, &r.w};
    for (int c = 0; c < 4; ++c) {
        *out[c] = p.x * m.m[0][c] + p.y * m.m[1][c] + p.z * m.m[2][c] + m.m[3][c];
    }
    return r;
}

TEST(MatrixBuilders, LookAtPutsTheEyeAtTheOriginLookingAlongZ) {
    const Matrix4 view = matrixLookAtLH({0, 64, -64}, {0, 0, 16}, {0, 1, 0});
    const Point4 eye = transform({0, 64, -64}, view);
    EXPECT_NEAR(eye.x, 0, 1e-4);
    EXPECT_NEAR(eye.y, 0, 1e-4);
    EXPECT_NEAR(eye.z, 0, 1e-4);
    const Point4 at = transform({0, 0, 16}, view);
    EXPECT_NEAR(at.x, 0, 1e-4);
    EXPECT_NEAR(at.y, 0, 1e-4);
    EXPECT_NEAR(at.z, std::sqrt(64.0f * 64.0f + 80.0f * 80.0f), 1e-3);
    // Left-handed: world +x stays to the right, world up stays up.
    EXPECT_GT(transform({1, 0, 16}, view).x, 0);
    EXPECT_GT(transform({0, 1, 16}, view).y, 0);
}

TEST(MatrixBuilders, PerspectiveMapsNearToZeroFarToOneAndTheFieldOfViewToTheEdge) {
    const float fov = 0.78539819f;
    const Matrix4 projection = matrixPerspectiveFovLH(fov, 4.0f / 3.0f, 1, 1000);
    const Point4 nearPoint = transform({0, 0, 1}, projection);
    const Point4 farPoint = transform({0, 0, 1000}, projection);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0, 1e-6);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1, 1e-6);
    const float edge = 10 * std::tan(fov / 2);
    const Point4 top = transform({edge * 4 / 3, edge, 10}, projection);
    EXPECT_NEAR(top.x / top.w, 1, 1e-5);
    EXPECT_NEAR(top.y / top.w, 1, 1e-5);
}

TEST(MatrixBuilders, OrthoMapsTheBoxOntoTheUnitRange) {
    const Point4 corner = transform({0.5f, -0.5f, 10000}, matrixOrthoLH(1, 1, 0, 10000));
    EXPECT_FLOAT_EQ(corner.x, 1);
    EXPECT_FLOAT_EQ(corner.y, -1);
    EXPECT_FLOAT_EQ(corner.z, 1);
    EXPECT_FLOAT_EQ(corner.w, 1);
}

TEST(MatrixBuilders, ReflectionMirrorsAcrossAPlaneGivenAtAnyScale) {
    const Plane water = planeFromPointNormal({0, 0, 0}, {0, 1, 0});
    EXPECT_EQ(water.d, 0.0f);
    const Point4 mirrored = transform({1, 2, 3}, matrixReflect(water));
    EXPECT_FLOAT_EQ(mirrored.x, 1);
    EXPECT_FLOAT_EQ(mirrored.y, -2);
    EXPECT_FLOAT_EQ(mirrored.z, 3);

    // The plane x = 1 written with a normal of length 2.
    const Plane wall = planeFromPointNormal({1, 0, 0}, {2, 0, 0});
    EXPECT_FLOAT_EQ(wall.d, -2);
    const Point4 across = transform({3, 0, 0}, matrixReflect(wall));
    EXPECT_FLOAT_EQ(across.x, -1);
    EXPECT_FLOAT_EQ(across.w, 1);
}

TEST(MatrixBuilders, NormalizeKeepsTheZeroVector) {
    EXPECT_EQ(vec3Normalize({0, 0, 0}), (Vector3{0, 0, 0}));
    const Vector3 light = vec3Normalize({0, -8, 4});
    EXPECT_NEAR(light.y, -8 / std::sqrt(80.0f), 1e-6);
}

}  // namespace
}  // namespace glassfalls
