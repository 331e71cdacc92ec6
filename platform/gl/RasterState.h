#pragma once

#include "platform/gfx/GraphicsDevice.h"
#include "platform/gl/Gl.h"

namespace glassfalls::platform::gl {

GLenum glCompare(gfx::Compare value);
GLenum glBlendFactor(gfx::Blend value);

// Depth, blending and culling as every pipeline gives them; alpha testing is each one's own.
void applyDepthBlendCull(const gfx::DeviceState& state);

}  // namespace glassfalls::platform::gl
