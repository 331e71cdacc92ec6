// SPDX-License-Identifier: GPL-3.0-or-later
// The frame's drawing only reads the piece: drawing a scene again, or after the device was
// rebuilt, gives the same picture and leaves the next frame as it would have been. It would
// catch a drawing that moves the piece on (a second drawing then shows a later frame), or one
// that leans on a state an earlier frame or the device's defaults left behind (the light the
// title used to leave for the performance, which a reset replaced).
#include <gtest/gtest.h>

#include <memory>

#include "app/Application.h"
#include "tests/app/TestApplication.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "tests/support/MelodyData.h"

using namespace glassfalls;

namespace {

// The piece with the example melody, drawing off-screen on Mesa, advanced by hand.
struct DrawnPiece {
    DrawnPiece() {
        StartOptions options;
        options.dataDir = data.path.string();
        options.headless = true;
        options.midi = "none";
        ready = bool(app.init(options));
        app.active = true;
    }

    void advance() {
        if (app.director.advance(FrameInput{})) app.renderDevice.presentFrame();
    }
    // The current scene's frame drawn and shown once more, as the loop shows a frame.
    void drawAgain() {
        RenderDevice& renderDevice = app.renderDevice;
        renderDevice.drawScene([&] { app.director.current()->draw(*renderDevice.device); });
        renderDevice.presentFrame();
    }
    std::vector<uint32_t> frame() { return test_support::Frame(*app.renderDevice.device).pixels; }

    test_support::MelodyData data;
    platform::VirtualClock clock;
    test_support::HeldKeys keys;
    Application app{
        {clock, keys, [](const platform::WindowConfig&) -> platform::Expected<std::unique_ptr<platform::Window>> {
             return std::make_unique<platform::NullWindow>(platform::NullWindow::Drawing::OffscreenGl,
                                                           test_support::rendererUnderTest());
         }}};
    bool ready = false;
};

}  // namespace

TEST(SceneDrawing, DrawingAgainOrAfterAResetChangesNeitherThisFrameNorTheNext) {
    // Mid-title (the model falling, its shadow and rings), and deep in the performance (trails,
    // their reflections and shadows, the light mask the title left).
    for (const int advances : {60, 128 + 90}) {
        SCOPED_TRACE(advances);
        // One piece at a time: each device draws in a context of its own, current while it lives.
        std::vector<uint32_t> drawn, after;
        {
            DrawnPiece plain;
            ASSERT_TRUE(plain.ready);
            for (int i = 0; i < advances; ++i) plain.advance();
            drawn = plain.frame();
            plain.advance();
            after = plain.frame();
        }
        DrawnPiece redrawn;
        ASSERT_TRUE(redrawn.ready);
        for (int i = 0; i < advances; ++i) redrawn.advance();
        ASSERT_EQ(redrawn.frame(), drawn);
        redrawn.drawAgain();
        EXPECT_EQ(redrawn.frame(), drawn) << "drawn twice";
        ASSERT_TRUE(redrawn.app.renderDevice.reset());
        redrawn.app.renderDevice.resize();
        redrawn.drawAgain();
        EXPECT_EQ(redrawn.frame(), drawn) << "drawn after a reset";
        redrawn.advance();
        EXPECT_EQ(redrawn.frame(), after) << "the frame after";
    }
}
