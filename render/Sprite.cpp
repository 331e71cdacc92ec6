// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Sprite.h"

namespace glassfalls {

Sprite::~Sprite() {
    if (sprite) sprite->onLostDevice();
}

bool Sprite::setup(const std::string& spriteName, Texture* picture, RenderDevice* device) {
    if (!device || !device->device) return false;
    sprite = platform::gfx::createSprite(*device->device);
    if (!sprite) return false;
    name = spriteName.substr(0, 63);
    texture = picture;
    renderDevice = device;
    device->registerResource(*this);
    return true;
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
