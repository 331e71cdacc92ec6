// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gfx/GraphicsDevice.h"
#include "platform/gl/Gl.h"

// What both pipelines make of the device's state in the same way.
namespace glassfalls::platform::gl {

GLenum glCompare(gfx::Compare value);
GLenum glBlendFactor(gfx::Blend value);

// A 0xAARRGGBB colour as OpenGL takes it, each channel from 0 to 1.
gfx::ColourValue colourValueOf(gfx::Colour argb);

// Depth, blending and culling as every pipeline gives them; alpha testing is each one's own.
void applyDepthBlendCull(const gfx::DeviceState& state);

// The device's projection with its depth range [0, 1] moved to OpenGL's [-1, 1].
Matrix4 withOpenGlDepth(const Matrix4& projection);

// Which material properties take the vertex's diffuse colour in place of the material's. As
// glColorMaterial allows, one property, or ambient and diffuse together: the first of
// diffuse/ambient, emissive and (with specular on) specular whose source is the vertex colour.
struct VertexColourFollowers {
    bool diffuse = false, ambient = false, emissive = false, specular = false;
};
VertexColourFollowers vertexColourFollowers(const gfx::DeviceState& state, bool hasDiffuse);

// Whether the context lists the extension `name` (OpenGL 3.0 and ES 3.0 list them one by one).
bool hasExtension(const char* name);

}  // namespace glassfalls::platform::gl
