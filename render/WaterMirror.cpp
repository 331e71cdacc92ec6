// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/WaterMirror.h"

#include "math/MatrixBuilders.h"

namespace glassfalls {

using namespace platform::gfx;

namespace {

Plane water() { return planeFromPointNormal({0, 0, 0}, {0, 1, 0}); }

}  // namespace

void clipAtTheWater(GraphicsDevice& device) {
    const Plane plane = water();
    const float coefficients[4] = {plane.a, plane.b, plane.c, plane.d};
    device.setClipPlane(0, coefficients);
    device.setRenderState(renderState::ClipPlaneEnable, 1);
}

Matrix4 mirrorInTheWater(GraphicsDevice& device) {
    Matrix4 view;
    device.getTransform(TransformState::View, view);
    device.setTransform(TransformState::View, matrixReflect(water()).multiply(view));
    clipAtTheWater(device);
    return view;
}

}  // namespace glassfalls
