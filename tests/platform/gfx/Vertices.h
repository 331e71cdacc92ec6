// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "platform/gfx/DeviceTypes.h"

// Vertex layouts of the formats the scenes draw with, for tests.
namespace glassfalls::test_support {

struct ColouredVertex {  // XYZ | DIFFUSE | TEX1
    static constexpr uint32_t kFormat = 0x142;
    float x, y, z;
    uint32_t colour;
    float u = 0, v = 0;
};

struct ScreenVertex {  // XYZRHW | DIFFUSE | TEX1
    static constexpr uint32_t kFormat = 0x144;
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};

struct LitVertex {  // XYZ | NORMAL | DIFFUSE | TEX1
    static constexpr uint32_t kFormat = 0x152;
    float x, y, z, nx, ny, nz;
    uint32_t colour;
    float u, v;
};

// A screen rectangle as a fan, texture corners (0, 0) at the top left.
inline std::array<ScreenVertex, 4> screenQuad(float left, float top, float right, float bottom, uint32_t colour) {
    return {{{left, top, 0, 1, colour, 0, 0},
             {right, top, 0, 1, colour, 1, 0},
             {right, bottom, 0, 1, colour, 1, 1},
             {left, bottom, 0, 1, colour, 0, 1}}};
}

// A rectangle in the plane z = const as a fan, clockwise seen from -z (a front face).
inline std::array<ColouredVertex, 4> zQuad(float left, float bottom, float right, float top, float z, uint32_t colour) {
    return {{{left, top, z, colour, 0, 0},
             {right, top, z, colour, 1, 0},
             {right, bottom, z, colour, 1, 1},
             {left, bottom, z, colour, 0, 1}}};
}

}  // namespace glassfalls::test_support
