// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Sprite.h"

#include <cassert>

namespace glassfalls {

Sprite::~Sprite() {
    if (sprite) sprite->onLostDevice();
}

platform::Expected<void> Sprite::setup(const std::string& spriteName, Texture* picture, RenderDevice* device) {
    assert(device && device->device && "RenderDevice::create was not called");
    sprite = platform::gfx::createSprite(*device->device);
    if (!sprite) return platform::failure("cannot draw the picture " + spriteName + " on this device");
    name = spriteName.substr(0, 63);
    texture = picture;
    renderDevice = device;
    device->registerResource(*this);
    return {};
}

void Sprite::drawSprite(platform::gfx::GraphicsDevice&, const platform::gfx::Rect* sourceRect,
                        const platform::gfx::Vector2* scaling, const platform::gfx::Vector2* rotationCentre,
                        float rotation, const platform::gfx::Vector2* translation, platform::gfx::Colour colour) const {
    if (!sprite || !texture) return;
    sprite->begin();
    sprite->draw(texture->texture.get(), sourceRect, scaling, rotationCentre, rotation, translation, colour);
    sprite->end();
}

bool Sprite::onLostDevice(RenderDevice&) {
    if (sprite) sprite->onLostDevice();
    return true;
}

bool Sprite::onResetDevice(RenderDevice&) {
    if (sprite) sprite->onResetDevice();
    return true;
}

}  // namespace glassfalls
