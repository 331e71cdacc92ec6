// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/ScreenSprite.h"
#include "render/Movable.h"
#include "render/RenderDevice.h"
#include "render/Texture.h"

namespace glassfalls {

// A picture drawn on the screen, in pixels, over the scene. The derived pictures own the
// texture; the sprite draws it.
class Sprite : public Movable, public DeviceResource {
public:
    ~Sprite() override;

    // Screen pictures do not stand in the scene.
    void place(platform::gfx::GraphicsDevice&, const Matrix4&) override {}

    // Makes the drawing object and registers with the device's resources. Not virtual.
    platform::Expected<void> setup(const std::string& spriteName, Texture* picture, RenderDevice* device);
    // Draws the texture once with the given arguments (nulls for none).
    virtual void drawSprite(platform::gfx::GraphicsDevice& device, const platform::gfx::Rect* sourceRect,
                            const platform::gfx::Vector2* scaling, const platform::gfx::Vector2* rotationCentre,
                            float rotation, const platform::gfx::Vector2* translation,
                            platform::gfx::Colour colour) const;
    virtual void render(platform::gfx::GraphicsDevice&) {}

    bool onLostDevice(RenderDevice& device) override;
    bool onResetDevice(RenderDevice& device) override;

    RenderDevice* renderDevice = nullptr;  // not owned
    std::unique_ptr<platform::gfx::ScreenSprite> sprite;
    Texture* texture = nullptr;  // not owned: a member of the derived class
};

}  // namespace glassfalls
