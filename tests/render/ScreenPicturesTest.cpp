// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "render/ScreenPictures.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "tests/render/RenderDeviceFixture.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

using namespace platform::gfx;
using test_support::Frame;

class ScreenPictures : public test_support::RenderDeviceFixture {
protected:
    static std::string dataFile(const char* name) {
        return (test_support::TestDataDirectory::source() / name).string();
    }

    Frame drawFadedOverGrey(FadingPicture& picture, int alpha) {
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF404040u, 1.0f, 0);
        EXPECT_TRUE(device->beginScene());
        picture.drawFaded(*device, alpha);
        device->endScene();
        return Frame(*device);
    }
};

TEST_F(ScreenPictures, PlacedAsOnAFourByThreeScreen) {
    BackgroundSprite background;
    ASSERT_TRUE(background.create(&renderDevice, 640, 480, dataFile("background.bmp")));
    EXPECT_EQ(background.scaleX, 2.0f);
    EXPECT_EQ(background.scaleY, 2.0f);
    EXPECT_EQ(background.name, "Background");

    // On the piece's own screen, and on one filling a 16:9 frame, where the piece's 640
    // units begin 160 units in.
    for (const float left : {0.0f, 160.0f}) {
        const PieceScreen screen{640 + 2 * left, 480};
        CopyRightSprite credit;
        ASSERT_TRUE(credit.create(&renderDevice, screen, dataFile("CopyRight.png")));
        EXPECT_EQ(credit.translationX, left + 384.0f);
        EXPECT_EQ(credit.translationY, 416.0f);

        TitleSprite title;
        ASSERT_TRUE(title.create(&renderDevice, screen, dataFile("title.png")));
        EXPECT_EQ(title.translationX, left + 192.0f);
        EXPECT_EQ(title.translationY, 112.0f);
    }
}

TEST_F(ScreenPictures, AMissingFileFailsBeforeAnyDrawingObjectIsMade) {
    CopyRightSprite credit;
    EXPECT_FALSE(credit.create(&renderDevice, PieceScreen{}, "/nonexistent/CopyRight.png"));
    EXPECT_FALSE(credit.sprite);
    EXPECT_EQ(renderDevice.resources.size(), 0);
}

TEST_F(ScreenPictures, SpritesLeaveTheDeviceListWhenDestroyed) {
    {
        TitleSprite title;
        ASSERT_TRUE(title.create(&renderDevice, PieceScreen{}, dataFile("title.png")));
        EXPECT_EQ(renderDevice.resources.size(), 1);
        EXPECT_TRUE(renderDevice.reset());
    }
    EXPECT_EQ(renderDevice.resources.size(), 0);
    EXPECT_TRUE(renderDevice.reset());
}

TEST_F(ScreenPictures, DrawFadedUsesOnlyTheLowEightBitsOfAlpha) {
    TitleSprite title;
    ASSERT_TRUE(title.create(&renderDevice, PieceScreen{}, dataFile("title.png")));
    // The middle of the title's lettering, well inside the picture.
    const int x = 192 + 128, y = 112 + 115;
    const uint32_t opaque = drawFadedOverGrey(title, 255).at(x, y);
    EXPECT_NE(opaque, 0x404040u) << "the lettering shows";
    EXPECT_EQ(drawFadedOverGrey(title, 0).at(x, y), 0x404040u);
    EXPECT_EQ(drawFadedOverGrey(title, 256).at(x, y), 0x404040u) << "256 acts as 0";
    EXPECT_EQ(drawFadedOverGrey(title, 264).at(x, y), drawFadedOverGrey(title, 8).at(x, y));
    EXPECT_EQ(drawFadedOverGrey(title, 255).at(100, 100), 0x404040u) << "nothing outside the picture";
}

}  // namespace
}  // namespace glassfalls
