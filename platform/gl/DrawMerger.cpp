// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/DrawMerger.h"

#include <cstring>

#include "platform/gl/Gl.h"
#include "platform/gl/VertexDecode.h"

namespace glassfalls::platform::gl {

namespace {

// Room for the merged draws of a frame or so; a larger draw goes to OpenGL by itself.
constexpr size_t kVertexBytes = size_t{1} << 20;
constexpr size_t kIndexBytes = size_t{1} << 19;

}  // namespace

DrawMerger::DrawMerger() : vertices_(GL_ARRAY_BUFFER, kVertexBytes), indices_(GL_ELEMENT_ARRAY_BUFFER, kIndexBytes) {}

bool DrawMerger::add(const DrawCall& call, const ScreenToClip& toClip, bool readable) {
    const size_t bytes = size_t{call.count} * call.stride;
    const size_t indexBytes = indexBytesOf(call);
    if (!isTriangles(call.type) || bytes > vertices_.capacity() || indexBytes > indices_.capacity()) return false;
    uint8_t* out = vertices_.take(bytes, readable);
    auto* corners = out ? reinterpret_cast<uint32_t*>(indices_.take(indexBytes, readable)) : nullptr;
    if (!corners) return false;
    format_ = call.format;
    stride_ = call.stride;
    std::memcpy(out, call.vertices, bytes);
    if (call.format & gfx::fvf::XyzRhw) toClipSpace(call.vertices, call.stride, out, call.stride, call.count, toClip);
    writeTriangleCorners(call.type, call.primitives, count_, corners);
    count_ += call.count;
    return true;
}

BufferPlacement DrawMerger::finish() {
    count_ = 0;
    return {vertices_.finish(), indices_.finish()};
}

void DrawMerger::drop() {
    if (!vertices_.mapped() && !indices_.mapped()) return;
    vertices_.finish();
    indices_.finish();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    count_ = 0;
}

void DrawMerger::abandon() {
    vertices_.abandon();
    indices_.abandon();
    count_ = 0;
}

void DrawMerger::release() {
    vertices_.release();
    indices_.release();
}

}  // namespace glassfalls::platform::gl
