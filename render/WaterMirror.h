// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "math/Matrix4.h"
#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls {

// Clip plane 0 set to the water, y = 0, keeping what stands at or above it, and enabled.
void clipAtTheWater(platform::gfx::GraphicsDevice& device);

// The view reflected about the water, clipped at it, for drawing mirror images: returns the
// view to put back afterwards.
Matrix4 mirrorInTheWater(platform::gfx::GraphicsDevice& device);

}  // namespace glassfalls
