// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Movable.h"

#include "math/Angles.h"

namespace glassfalls {

void Movable::move(Vector3 offset) {
    const Vector3 d = offset.rotate(orientation.toMatrix());
    position = {position.x + d.x, position.y + d.y, position.z + d.z};
}

void Movable::turn(bool aboutLocalX, float degrees) {
    previousOrientation = orientation;
    const Vector3 localAxis = aboutLocalX ? Vector3{1, 0, 0} : Vector3{0, 1, 0};
    const Vector3 axis = localAxis.rotate(orientation.toMatrix());
    Quaternion delta;
    delta.fromAxisAngle(axis, degrees * kDegreesToRadians);
    orientation.product(orientation, delta);
}

Matrix4 Movable::worldTransform(const Matrix4& parent) const {
    const Matrix4 rotation = orientation.toMatrix();
    const Matrix4 translation = Matrix4::translation(position.x, position.y, position.z);
    return rotation.affineInverse().multiply(translation).multiply(parent);
}

void Movable::placeInWorld(platform::gfx::GraphicsDevice& device, const Matrix4& parent) {
    device.setTransform(platform::gfx::TransformState::World, worldTransform(parent));
    previousPosition = position;
    previousOrientation = orientation;
}

void Movable::savePlace(platform::ByteWriter& out) const {
    out.floats(position);
    out.floats(previousPosition);
    out.floats(orientation);
    out.floats(previousOrientation);
}

void Movable::loadPlace(platform::ByteReader& in) {
    in.floats(position);
    in.floats(previousPosition);
    in.floats(orientation);
    in.floats(previousOrientation);
}

}  // namespace glassfalls
