// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/GraphicsDevice.h"
#include "platform/os/EventSource.h"
#include "platform/os/Expected.h"

namespace glassfalls::platform {

struct WindowConfig {
    std::string title;
    bool fullScreen = true;  // the desktop's size; otherwise a resizable width x height window
    int width = 640;
    int height = 480;
    bool headless = false;                         // no visible window at all; drawing still works off-screen
    std::optional<int> display;                    // which display the window goes on; the first when not given
    gfx::Renderer renderer = gfx::Renderer::Auto;  // which OpenGL its device draws through
};

// A display the window can go on, as the system numbers them.
struct DisplayInfo {
    int index = 0;
    std::string name;
    int width = 0, height = 0;
};
// The displays there are; none without a display server.
std::vector<DisplayInfo> listDisplays();
// "0 NAME (WIDTHxHEIGHT), 1 …", or "none" when there are none.
std::string describeDisplays(const std::vector<DisplayInfo>& displays);

// The one top-level window and the event stream that belongs to it. Main thread only.
class Window : public EventSource {
public:
    virtual void hideCursor() = 0;
    // Removes the window from the screen. Polling stays valid afterwards.
    virtual void close() = 0;
    // The size of the window's drawing area in pixels (on a HiDPI display, more than its
    // size in the desktop's units); 0 x 0 once closed.
    virtual void drawableSize(int& width, int& height) const = 0;
    // A device that draws for this window.
    virtual Expected<std::unique_ptr<gfx::GraphicsDevice>> createDevice(gfx::DeviceType type,
                                                                        const gfx::PresentParameters& parameters) = 0;
};

// Devices for `window`, which must outlive them.
inline gfx::DeviceFactory deviceFactoryOf(Window& window) {
    return [&window](gfx::DeviceType type, const gfx::PresentParameters& parameters) {
        return window.createDevice(type, parameters);
    };
}

using WindowOpener = std::function<Expected<std::unique_ptr<Window>>(const WindowConfig&)>;

Expected<std::unique_ptr<Window>> openSdlWindow(const WindowConfig& config);

}  // namespace glassfalls::platform
