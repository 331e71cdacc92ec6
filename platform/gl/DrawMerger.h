// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gfx/DeviceTypes.h"
#include "platform/gl/StreamBuffer.h"
#include "platform/gl/VertexDecode.h"

namespace glassfalls::platform::gl {

// Where a draw's data lie, in bytes, in the bound array and element buffers.
struct BufferPlacement {
    size_t vertices = 0;
    size_t indices = 0;
};

// One draw as a scene made it: its vertices in the caller's memory.
struct DrawCall {
    gfx::PrimitiveType type = gfx::PrimitiveType::TriangleList;
    uint32_t primitives = 0;
    uint32_t count = 0;  // vertices
    const uint8_t* vertices = nullptr;
    uint32_t stride = 0;
    uint32_t format = 0;  // fvf bits
};

// Consecutive triangle draws of one vertex format gathered into one indexed triangle list,
// written straight into buffer objects; the owner draws the gathering when the state it was
// made under is about to change. The same for every pipeline: it knows vertices and indices,
// not how OpenGL is told to draw them. Main thread only, with the device's context current.
class DrawMerger {
public:
    DrawMerger();

    // False when `call` cannot join the gathering under way (another format or stride, or
    // no room left): the gathering must be drawn first.
    bool joins(const DrawCall& call) const {
        return count_ == 0 || (call.format == format_ && call.stride == stride_ &&
                               vertices_.fits(size_t{call.count} * call.stride) && indices_.fits(indexBytesOf(call)));
    }
    // Adds `call` to the gathering, its screen positions turned into clip space; false when
    // it cannot be merged at all (not triangles, bigger than the buffers, nothing mapped),
    // and then nothing of it was kept. `readable` keeps the gathering readable.
    bool add(const DrawCall& call, const ScreenToClip& toClip, bool readable);
    bool empty() const { return count_ == 0; }
    uint32_t format() const { return format_; }
    uint32_t stride() const { return stride_; }
    uint32_t count() const { return count_; }
    size_t indexCount() const { return indices_.gatheredBytes() / sizeof(uint32_t); }
    // The gathering as written, while it is under way and taken readable.
    const uint8_t* gatheredVertices() const { return vertices_.gathered(); }
    const uint32_t* gatheredIndices() const { return reinterpret_cast<const uint32_t*>(indices_.gathered()); }
    // Ends the gathering; both buffers are left bound, holding it where this says.
    BufferPlacement finish();
    // Ends a gathering without drawing it (one whose indices found no room).
    void drop();

    // The vertex buffer, for a draw that goes to OpenGL by itself.
    StreamBuffer& vertexBuffer() { return vertices_; }

    // Forgets the driver's objects without deleting them (their context is gone).
    void abandon();
    void release();

private:
    // A merged draw's triangles, three indices each.
    static size_t indexBytesOf(const DrawCall& call) { return size_t{call.primitives} * 3 * sizeof(uint32_t); }

    StreamBuffer vertices_;
    StreamBuffer indices_;
    uint32_t count_ = 0;
    uint32_t format_ = 0;
    uint32_t stride_ = 0;
};

}  // namespace glassfalls::platform::gl
