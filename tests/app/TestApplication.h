#pragma once

#include <memory>
#include <set>

#include "app/Application.h"
#include "platform/window/NullWindow.h"

namespace glassfalls::test_support {

// Keys a test holds down by hand.
class HeldKeys final : public platform::Keyboard {
public:
    bool isDown(platform::Key key) const override { return down.count(key) != 0; }
    std::set<platform::Key> down;
};

// An application attached to a window without a screen, on a virtual clock, active and
// running, with a real off-screen render device but nothing else initialised: enough for
// the scenes and the message flow.
struct TestApplication {
    TestApplication() {
        auto owned = std::make_unique<platform::NullWindow>();
        window = owned.get();
        app.create(std::move(owned));
        app.active = true;
        deviceReady = app.renderDevice.create(*window, 640, 480, true);
    }

    platform::VirtualClock clock;
    HeldKeys keys;
    Application app{{clock, keys, [](const platform::WindowConfig&, std::string&) {
                         return std::make_unique<platform::NullWindow>();
                     }}};
    platform::NullWindow* window = nullptr;
    bool deviceReady = false;  // frames are drawn off-screen for real
};

}  // namespace glassfalls::test_support
