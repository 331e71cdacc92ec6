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

void Movable::placeInWorld(platform::gfx::GraphicsDevice& device, const Matrix4& parent) {
    const Matrix4 rotation = orientation.toMatrix();
    const Matrix4 translation = Matrix4::translation(position.x, position.y, position.z);
    const Matrix4 local = rotation.affineInverse().multiply(translation);
    device.setTransform(platform::gfx::TransformState::World, local.multiply(parent));
    previousPosition = position;
    previousOrientation = orientation;
}

}  // namespace glassfalls
