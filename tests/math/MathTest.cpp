// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "math/Angles.h"
#include "math/Matrix4.h"
#include "math/Quaternion.h"
#include "math/Vector3.h"
#include "tests/math/VectorExpectations.h"

using namespace glassfalls;

namespace {

Matrix4 rotationAbout(const Vector3& axis, float degrees) {
    Quaternion q;
    q.fromAxisAngle(axis, degrees * kDegreesToRadians);
    return q.toMatrix();
}

}  // namespace

TEST(Math, DefaultsAreZeroMatrixAndIdentityQuaternion) {
    const Matrix4 zero;
    for (const auto& row : zero.m) {
        for (float v : row) EXPECT_EQ(v, 0.0f);
    }
    const Quaternion q;
    EXPECT_EQ(q, (Quaternion{0, 0, 0, 1}));
    EXPECT_EQ(q.toMatrix(), Matrix4::identity());
}

TEST(Math, CrossAndDotFollowTheRightHandedComponentFormulas) {
    EXPECT_EQ(Vector3(1, 0, 0).cross(Vector3(0, 1, 0)), Vector3(0, 0, 1));
    EXPECT_EQ(Vector3(0, 0, 1).cross(Vector3(1, 0, 0)), Vector3(0, 1, 0));
    EXPECT_EQ(Vector3(1, 2, 3).dot(Vector3(4, -5, 6)), 12.0f);
}

TEST(Math, YawTurnsXTowardMinusZ) {
    for (float degrees : {0.0f, 30.0f, 90.0f, 135.0f, 270.0f}) {
        const float a = degrees * kDegreesToRadians;
        const Vector3 turned = Vector3(1, 0, 0).rotate(rotationAbout({0, 1, 0}, degrees));
        test_support::expectNear(turned, {std::cos(a), 0.0f, -std::sin(a)}, 1e-6f);
    }
}

TEST(Math, RotateUsesTheMatrixAsAColumnTransform) {
    Matrix4 m;
    m.m[0][1] = 1.0f;    // x' = y
    m.m[1][2] = 1.0f;    // y' = z
    m.m[2][0] = 1.0f;    // z' = x
    m.m[3][0] = 100.0f;  // translation is ignored
    EXPECT_EQ(Vector3(1, 2, 3).rotate(m), Vector3(2, 3, 1));
}

TEST(Math, ProductAppliesFirstArgumentFirst) {
    Quaternion yaw;
    yaw.fromAxisAngle({0, 1, 0}, 90.0f * kDegreesToRadians);
    Quaternion roll;
    roll.fromAxisAngle({0, 0, 1}, 90.0f * kDegreesToRadians);

    // Yaw first sends x to -z; rolling about z leaves it there.
    Quaternion yawThenRoll;
    yawThenRoll.product(yaw, roll);
    test_support::expectNear(Vector3(1, 0, 0).rotate(yawThenRoll.toMatrix()), {0, 0, -1}, 1e-6f);

    // Roll first sends x to y; the yaw leaves y alone.
    Quaternion rollThenYaw;
    rollThenYaw.product(roll, yaw);
    test_support::expectNear(Vector3(1, 0, 0).rotate(rollThenYaw.toMatrix()), {0, 1, 0}, 1e-6f);
}

TEST(Math, ProductMayWriteIntoItsOwnArgument) {
    Quaternion a;
    a.fromAxisAngle({0, 1, 0}, 0.3f);
    Quaternion b;
    b.fromAxisAngle({1, 0, 0}, 1.1f);

    Quaternion separate;
    separate.product(a, b);
    Quaternion aliasedA = a;
    aliasedA.product(aliasedA, b);
    Quaternion aliasedB = b;
    aliasedB.product(a, aliasedB);

    EXPECT_EQ(aliasedA, separate);
    EXPECT_EQ(aliasedB, separate);
}

TEST(Math, QuaternionIsNotRenormalised) {
    // Normalised, (2, 0, 0, 0) would be a half turn about x with -1 on the diagonal.
    const Quaternion longX{2, 0, 0, 0};
    EXPECT_EQ(longX.toMatrix().m[1][1], -7.0f);
    EXPECT_EQ(longX.toMatrix().m[2][2], -7.0f);
}

TEST(Math, MultiplyComposesRowVectorTransformsLeftToRight) {
    const Matrix4 a = Matrix4::translation(1, 2, 3);
    Matrix4 scale = Matrix4::identity();
    scale.m[0][0] = 2.0f;
    const Matrix4 product = a.multiply(scale);
    // (0,0,0,1) x a x scale: translate then scale x.
    EXPECT_EQ(product.m[3][0], 2.0f);
    EXPECT_EQ(product.m[3][1], 2.0f);
    EXPECT_EQ(product.m[3][2], 3.0f);
    EXPECT_EQ(Matrix4::identity().multiply(a), a);
}

TEST(Math, AffineInverseOfTranslationAndRotation) {
    EXPECT_EQ(Matrix4::translation(3, -4, 5).affineInverse(), Matrix4::translation(-3, 4, -5));

    const Matrix4 r = rotationAbout(Vector3(0, 0.6f, 0.8f), 40.0f);
    const Matrix4 inverse = r.affineInverse();
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(inverse.m[i][j], r.m[j][i], 1e-6f) << i << j;
    }
}

TEST(Math, AffineInverseUndoesARotatedTranslation) {
    Matrix4 m = rotationAbout(Vector3(1, 0, 0), 25.0f).affineInverse();
    m.m[3][0] = 7.0f;
    m.m[3][1] = -2.0f;
    m.m[3][2] = 0.5f;
    const Matrix4 roundTrip = m.multiply(m.affineInverse());
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            EXPECT_NEAR(roundTrip.m[i][j], i == j ? 1.0f : 0.0f, 1e-6f) << i << j;
        }
    }
}
