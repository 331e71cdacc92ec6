// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "render/PieceScreen.h"
#include "render/Sprite.h"

namespace glassfalls {

// The background picture, stretched over the whole screen.
class BackgroundSprite final : public Sprite {
public:
    // Loads `file` (a BMP); the scale comes from the size in its header.
    platform::Expected<void> create(RenderDevice* device, int screenWidth, int screenHeight, const std::string& file);
    void render(platform::gfx::GraphicsDevice& device) override;

    Texture picture;
    float scaleX = 0, scaleY = 0;
};

// A picture at a fixed place on the screen that the scenes fade in and out.
class FadingPicture : public Sprite {
public:
    // White with the given opacity modulates the picture; only the low 8 bits of alpha
    // count (256 draws like 0).
    void drawFaded(platform::gfx::GraphicsDevice& device, int alpha) const;

    Texture picture;
    float translationX = 0, translationY = 0;
    float scalingX = 1, scalingY = 1;

protected:
    platform::Expected<void> load(RenderDevice* device, const std::string& file, const std::string& spriteName,
                                  int width, int height, float x, float y);
};

// The credit picture, 256 x 64, in the lower right corner of the piece's own 640 x 480.
class CopyRightSprite final : public FadingPicture {
public:
    platform::Expected<void> create(RenderDevice* device, const PieceScreen& screen, const std::string& file);
};

// The title picture, 256 x 256, in the middle of the screen.
class TitleSprite final : public FadingPicture {
public:
    platform::Expected<void> create(RenderDevice* device, const PieceScreen& screen, const std::string& file);
};

}  // namespace glassfalls
