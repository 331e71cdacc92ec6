// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "math/Matrix4.h"
#include "platform/gfx/GraphicsDevice.h"
#include "render/ScreenVertex.h"

namespace glassfalls {

// A black quad over the whole screen whose alpha darkens everything drawn before it.
class ScreenFade {
public:
    void init(int32_t screenWidth, int32_t screenHeight);
    // Darkens the screen by alpha / 255 (0 … 255). The camera is not used. Leaves the cull
    // mode clockwise.
    void draw(platform::gfx::GraphicsDevice& device, const Matrix4& camera, int32_t alpha) const;

    int32_t width = 0;
    int32_t height = 0;
    std::array<ScreenVertex, 4> vertices{};
};

}  // namespace glassfalls
