// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "platform/gfx/GraphicsDevice.h"
#include "platform/gl/GlTexture.h"
#include "platform/gl/VertexDecode.h"

namespace glassfalls::platform::gl {

// Texels and vertex colours are 0xAARRGGBB words that every pipeline hands to OpenGL as the
// bytes B, G, R, A, which they are only on a little-endian processor (x86-64, arm64).
static_assert(std::endian::native == std::endian::little, "colours are handed to OpenGL as bytes B, G, R, A");

// How the device's state reaches OpenGL before a draw: the compatibility profile's fixed
// function, or shaders that compute the same. Everything else the device does (the frame,
// textures, merging, buffers) is shared. Main thread only, with the device's context current.
class Pipeline {
public:
    virtual ~Pipeline() = default;

    // Gives OpenGL the groups of `state` in `dirty` (kDirty…) for a draw of `layout`, with
    // `texture` (the stage's, or white when none is set) bound to stage 0.
    virtual void apply(const gfx::DeviceState& state, uint32_t dirty, VertexLayout layout, GlTexture& texture) = 0;
    // Points the vertex arrays at vertices of `layout`, `stride` bytes apart, from `offset`
    // in the bound array buffer; a screen vertex's position is already in clip space there.
    virtual void pointArrays(VertexLayout layout, size_t offset, uint32_t stride) = 0;
    virtual void depthRange(float nearZ, float farZ) = 0;
    virtual void clearDepth(float z) = 0;
    // The context was made anew: what the pipeline made on the old one is gone and is made
    // again; false when that fails.
    virtual bool contextRecreated() = 0;
    // How texels (0xAARRGGBB in memory, so B, G, R, A) are handed to OpenGL: BGRA where the
    // API takes it, else as RGBA bytes that the shaders read back in order.
    virtual bool takesBgra() const = 0;
    // Whether the frame can be read back as BGRA bytes (desktop OpenGL; ES with
    // GL_EXT_read_format_bgra); else as RGBA, put in order by the processor.
    virtual bool readsBgra() const = 0;
};

}  // namespace glassfalls::platform::gl
