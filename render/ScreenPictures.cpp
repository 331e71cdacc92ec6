// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/ScreenPictures.h"

namespace glassfalls {

using platform::gfx::Vector2;

platform::Expected<void> BackgroundSprite::create(RenderDevice* device, int screenWidth, int screenHeight,
                                                  const std::string& file) {
    GLASSFALLS_TRY(picture.loadFromFile(*device->device, file));
    Image header;
    GLASSFALLS_TRY(header.loadPicture(file));
    picture.pictureWidth = header.width;
    picture.pictureHeight = header.height;
    scaleX = static_cast<float>(screenWidth) / static_cast<float>(header.width);
    scaleY = static_cast<float>(screenHeight) / static_cast<float>(header.height);
    return setup("Background", &picture, device);
}

void BackgroundSprite::render(platform::gfx::GraphicsDevice& device) {
    const Vector2 scaling{scaleX, scaleY};
    drawSprite(device, nullptr, &scaling, nullptr, 0.0f, nullptr, 0xFFFFFFFFu);
}

platform::Expected<void> FadingPicture::load(RenderDevice* device, const std::string& file,
                                             const std::string& spriteName, int width, int height, float x, float y) {
    GLASSFALLS_TRY(picture.loadFromFile(*device->device, file));
    picture.pictureWidth = width;
    picture.pictureHeight = height;
    translationX = x;
    translationY = y;
    scalingX = 1.0f;
    scalingY = 1.0f;
    return setup(spriteName, &picture, device);
}

void FadingPicture::drawFaded(platform::gfx::GraphicsDevice& device, int alpha) const {
    const Vector2 scaling{scalingX, scalingY};
    const Vector2 translation{translationX, translationY};
    const uint32_t colour = static_cast<uint32_t>(alpha) << 24 | 0x00FFFFFFu;
    drawSprite(device, nullptr, &scaling, nullptr, 0.0f, &translation, colour);
}

platform::Expected<void> CopyRightSprite::create(RenderDevice* device, const PieceScreen& screen,
                                                 const std::string& file) {
    return load(device, file, "CopyRight", 256, 64, screen.pieceLeft() + (PieceScreen::kPieceWidth - 256),
                PieceScreen::kPieceHeight - 64);
}

platform::Expected<void> TitleSprite::create(RenderDevice* device, const PieceScreen& screen, const std::string& file) {
    constexpr int kPieceWidth = static_cast<int>(PieceScreen::kPieceWidth);
    constexpr int kPieceHeight = static_cast<int>(PieceScreen::kPieceHeight);
    // Halved as whole numbers first: a 257-pixel-wide screen puts the picture at 0.
    return load(device, file, "Title", 256, 256, screen.pieceLeft() + static_cast<float>((kPieceWidth - 256) / 2),
                static_cast<float>((kPieceHeight - 256) / 2));
}

}  // namespace glassfalls
