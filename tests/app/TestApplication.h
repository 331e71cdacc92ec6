// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <set>

#include "app/Application.h"
#include "platform/window/NullWindow.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls::test_support {

// Keys a test holds down by hand.
class HeldKeys final : public platform::Keyboard {
public:
    bool isDown(platform::Key key) const override { return down.count(key) != 0; }
    std::set<platform::Key> down;
};

// An application attached to a window without a screen, on a virtual clock, active and
// running, drawing on the recording device but with nothing else initialised: enough for
// the scenes and the message flow, none of whose tests look at pixels.
struct TestApplication {
    TestApplication() {
        auto owned = std::make_unique<platform::NullWindow>(platform::NullWindow::Drawing::Recorded);
        window = owned.get();
        app.create(std::move(owned));
        app.active = true;
        deviceReady = bool(app.renderDevice.create(platform::deviceFactoryOf(*window), 640, 480, true));
    }

    platform::VirtualClock clock;
    HeldKeys keys;
    Application app{
        {clock, keys, [](const platform::WindowConfig&) -> platform::Expected<std::unique_ptr<platform::Window>> {
             return std::make_unique<platform::NullWindow>(platform::NullWindow::Drawing::Recorded);
         }}};
    platform::NullWindow* window = nullptr;
    bool deviceReady = false;
};

// An application whose window draws off-screen on Mesa for real, on a virtual clock, not yet
// started: for tests that run many frames, where the recording device would keep every draw.
struct OffscreenApplication {
    platform::VirtualClock clock;
    HeldKeys keys;
    platform::NullWindow* window = nullptr;  // once the application has opened it
    Application app{{clock, keys, [this](const platform::WindowConfig&) {
                         auto owned = std::make_unique<platform::NullWindow>();
                         window = owned.get();
                         return platform::Expected<std::unique_ptr<platform::Window>>(std::move(owned));
                     }}};
};

// A run of the committed data set with no MIDI output, as the application tests start it.
inline StartOptions quietRunOptions() {
    StartOptions options;
    options.dataDir = TestDataDirectory::source().string();
    options.midi = "none";
    return options;
}

}  // namespace glassfalls::test_support
