// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "math/Matrix4.h"
#include "platform/gfx/GraphicsDevice.h"
#include "platform/os/ByteStream.h"
#include "render/Texture.h"

namespace glassfalls {

// A vertex with a colour and texture coordinates (format XYZ | DIFFUSE | TEX1, 0x142).
struct GroundVertex {
    static constexpr uint32_t kFormat = 0x142;
    float x = 0, y = 0, z = 0;
    uint32_t colour = 0;
    float u = 0, v = 0;
};
static_assert(sizeof(GroundVertex) == 24);

// The translucent square in the water plane under the scene: 600 units of sand whose grey
// follows the scene's brightness, until a picture arrives over the network; from then on an
// 80-unit square showing the latest picture, faded to black toward a circle.
class Ground {
public:
    static constexpr int kNetPictureSide = 128;
    static constexpr size_t kNetPictureBytes = kNetPictureSide * kNetPictureSide * 3;

    // The 600-unit square and the network picture's texture. The owner loads `floorPicture`:
    // without it the square is drawn untextured.
    void init(platform::gfx::GraphicsDevice& device);
    void draw(platform::gfx::GraphicsDevice& device, float brightness) const;
    // `picture`: 128 x 128 pixels of 3 bytes, row by row.
    void showNetPicture(const uint8_t* picture);
    // The network picture shown, if one is, for another machine to show too.
    void saveState(platform::ByteWriter& out) const;
    void loadState(platform::ByteReader& in);

    Texture floorPicture;
    Texture netPicture;
    std::array<GroundVertex, 4> floor{};
    bool netPictureShown = false;
    std::vector<uint8_t> shownPicture;  // the network picture as it came, while one is shown
};

}  // namespace glassfalls
