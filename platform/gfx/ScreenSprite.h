// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls::platform::gfx {

struct Vector2 {
    float x = 0, y = 0;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Draws textures as screen-aligned pictures: each texel on a pixel at scale 1, modulated by
// a colour whose alpha fades the picture over what is already drawn. Begin saves the
// device's state and End gives it back, so drawing a picture changes nothing for the scene.
class ScreenSprite {
public:
    explicit ScreenSprite(GraphicsDevice& device) : device_(device) {}

    bool begin();
    // The picture (or the part `source` of it) is scaled about its top left corner, turned
    // by `rotation` radians about `centre` and moved by `translation`; nulls mean none.
    bool draw(DeviceTexture* texture, const Rect* source, const Vector2* scaling, const Vector2* centre, float rotation,
              const Vector2* translation, Colour colour);
    bool end();
    void onLostDevice() {}
    void onResetDevice() {}

private:
    GraphicsDevice& device_;
    DeviceState saved_;
    bool begun_ = false;
};

std::unique_ptr<ScreenSprite> createSprite(GraphicsDevice& device);

}  // namespace glassfalls::platform::gfx
