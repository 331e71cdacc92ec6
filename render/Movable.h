// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "math/Matrix4.h"
#include "math/Quaternion.h"
#include "math/Vector3.h"
#include "platform/gfx/GraphicsDevice.h"
#include "platform/os/ByteStream.h"

namespace glassfalls {

// Something that stands in the scene and can be moved and turned in its own frame.
class Movable {
public:
    virtual ~Movable() = default;

    // Sets the device's world transform for the object (and records where it was placed);
    // some objects draw or update as well.
    virtual void place(platform::gfx::GraphicsDevice& device, const Matrix4& parent) { placeInWorld(device, parent); }
    // Adds `offset`, given in the object's own frame, to its position.
    virtual void move(Vector3 offset);
    // Turns about the object's own X axis (aboutLocalX) or Y axis by `degrees`; the new turn
    // comes after the existing orientation. The quaternion is never renormalised.
    virtual void turn(bool aboutLocalX, float degrees);
    // The object's world transform under `parent`: rotation, then translation, then the parent.
    Matrix4 worldTransform(const Matrix4& parent) const;
    // Where it stands and stood, for another machine to go on from.
    void savePlace(platform::ByteWriter& out) const;
    void loadPlace(platform::ByteReader& in);

    std::string name;  // at most 63 characters
    Vector3 position;
    Vector3 previousPosition;
    Quaternion orientation;
    Quaternion previousOrientation;

protected:
    // The common placement: rotation, then translation, then the parent; records the
    // placement in previousPosition and previousOrientation.
    void placeInWorld(platform::gfx::GraphicsDevice& device, const Matrix4& parent);
};

}  // namespace glassfalls
