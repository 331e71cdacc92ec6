// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "math/Matrix4.h"
#include "platform/gfx/GraphicsDevice.h"
#include "platform/os/ByteStream.h"
#include "render/PieceScreen.h"
#include "render/ScreenVertex.h"
#include "render/Texture.h"

namespace glassfalls {

// Light falling from the top of the screen, added over its upper part during the
// performance. Each title frame cuts the light off below every bright point of the picture,
// so the last title frame leaves its trace.
class LightMask {
public:
    static constexpr int kColumns = 128;
    static constexpr int kRows = 64;  // row 0 is the top of the screen

    // Over the whole of `screen`, maskHeight units high; it samples the piece's own 640 units.
    platform::Expected<void> init(platform::gfx::GraphicsDevice& device, const PieceScreen& screen, int32_t maskHeight);
    // The starting picture: brightest at the top centre, dark at the sides and the bottom.
    void fillGradient(platform::gfx::GraphicsDevice& device);
    // Samples the finished frame in `surface`; false (mask unchanged) when it cannot be read.
    bool capture(platform::gfx::GraphicsDevice& device, platform::gfx::Surface& surface);
    // Adds the mask over the upper screen. The camera is not used.
    // The mask's light as the last capture left it, for another machine to draw with.
    void saveState(platform::ByteWriter& out) const;
    void loadState(platform::ByteReader& in, platform::gfx::GraphicsDevice& device);
    void draw(platform::gfx::GraphicsDevice& device, const Matrix4& camera) const;

    int32_t width = 0;  // the piece's own width, which the mask samples
    int32_t height = 0;
    Texture texture;
    std::array<ScreenVertex, 4> vertices{};

private:
    void writeGradient();
    float left_ = 0;  // where the piece's own width begins on the screen
};

}  // namespace glassfalls
