// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gfx/DeviceTypes.h"

namespace glassfalls::platform::gl {

// Where the parts of a vertex of one format lie, in bytes from its start, in the order the
// format's bits give them: position, normal, diffuse colour, specular colour, texture
// coordinates.
struct VertexLayout {
    uint32_t format = 0;  // fvf bits

    bool pretransformed() const { return (format & gfx::fvf::XyzRhw) != 0; }
    bool hasPosition() const { return pretransformed() || (format & gfx::fvf::Xyz) != 0; }
    bool hasNormal() const { return (format & gfx::fvf::Normal) != 0; }
    bool hasDiffuse() const { return (format & gfx::fvf::Diffuse) != 0; }
    bool hasTexCoord() const { return (format & gfx::fvf::TexCountMask) != 0; }

    // A screen vertex's x, y, z, rhw; else a world vertex's x, y, z.
    int positionComponents() const { return pretransformed() ? 4 : 3; }
    size_t normalOffset() const { return pretransformed() ? 16 : 12; }
    size_t diffuseOffset() const { return normalOffset() + (hasNormal() ? 12 : 0); }
    size_t texCoordOffset() const {
        return diffuseOffset() + (hasDiffuse() ? 4 : 0) + ((format & gfx::fvf::Specular) ? 4 : 0);
    }
};

// How many vertices `primitives` primitives of `type` take.
inline uint32_t vertexCount(gfx::PrimitiveType type, uint32_t primitives) {
    switch (type) {
        case gfx::PrimitiveType::PointList: return primitives;
        case gfx::PrimitiveType::LineList: return primitives * 2;
        case gfx::PrimitiveType::LineStrip: return primitives + 1;
        case gfx::PrimitiveType::TriangleList: return primitives * 3;
        case gfx::PrimitiveType::TriangleStrip:
        case gfx::PrimitiveType::TriangleFan: return primitives + 2;
    }
    return 0;
}

inline bool isTriangles(gfx::PrimitiveType type) {
    return type == gfx::PrimitiveType::TriangleList || type == gfx::PrimitiveType::TriangleStrip ||
           type == gfx::PrimitiveType::TriangleFan;
}

// A rectangle of back-buffer pixels, y down.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};
// Where a viewport given on the logical screen lands in the back buffer: mapped, rounded to
// whole pixels, and kept within the screen.
PixelRect viewportPixels(const gfx::Viewport& viewport, const gfx::ScreenMapping& screen);

// How a position on the logical screen becomes a clip position: mapped into back-buffer
// pixels, then taken relative to the viewport there.
struct ScreenToClip {
    gfx::ScreenMapping screen;
    PixelRect viewport;
};

// Screen positions with y down, turned into clip coordinates; w = 1 / rhw keeps texturing
// perspective-correct. Whole-number coordinates fall on pixel edges, so a rectangle covers
// exactly the pixels it names and texel centres meet pixel centres. Reads the first four
// floats of each vertex from `in`, writes four to `out`.
void toClipSpace(const uint8_t* in, uint32_t inStride, uint8_t* out, uint32_t outStride, uint32_t count,
                 const ScreenToClip& mapping);

// Every triangle of a list, strip or fan of `primitives` triangles as three indices from
// `first` on, in the order OpenGL would assemble them: strips keep their winding by swapping
// the first two corners of every second triangle; fans turn about their first corner.
void writeTriangleCorners(gfx::PrimitiveType type, uint32_t primitives, uint32_t first, uint32_t* corners);

}  // namespace glassfalls::platform::gl
