// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace glassfalls {

// A vertex already in screen pixels (format XYZRHW | DIFFUSE | TEX1, 0x144, 28 bytes).
struct ScreenVertex {
    static constexpr uint32_t kFormat = 0x144;
    float x = 0, y = 0, z = 0, rhw = 1;
    uint32_t colour = 0xFFFFFFFFu;
    float u = 0, v = 0;
};
static_assert(sizeof(ScreenVertex) == 28);

}  // namespace glassfalls
