// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "math/Vector3.h"
#include "platform/gfx/GraphicsDevice.h"
#include "render/PieceScreen.h"
#include "render/PointerList.h"

namespace glassfalls {

class RenderDevice;

// An object holding device memory: told before the device is rebuilt and after.
class DeviceResource {
public:
    virtual ~DeviceResource();
    virtual bool onLostDevice(RenderDevice& device) = 0;
    virtual bool onResetDevice(RenderDevice& device) = 0;

    // Set when the object registers with a device; a resource that is destroyed first
    // takes itself off that device's list, so the device never calls a destroyed object.
    RenderDevice* registeredWith = nullptr;
};

// The drawing device of the window with the state every scene starts from: a lit,
// depth-tested, counter-clockwise-culled pipeline, one white light, linear filtering.
class RenderDevice {
public:
    virtual ~RenderDevice();

    // A frame of width x height pixels showing `screen`, with `multisamples` samples a pixel
    // (0: none). Tries the system's hardware driver, then the software rasteriser, as
    // `makeDevice` offers them.
    platform::Expected<void> create(const platform::gfx::DeviceFactory& makeDevice, int width, int height,
                                    bool windowed, const PieceScreen& screen = {}, uint32_t multisamples = 0);
    // Resets, and sets the perspective projection and the viewport for the screen.
    bool resize();
    // Draws frames of another size, showing `screen`, from the next frame on: the frame
    // buffers are made anew; textures and what they hold stay.
    void resizeFrame(int width, int height, const PieceScreen& screen);
    const PieceScreen& screen() const { return screen_; }
    // Draws with `samples` samples a pixel (0: none) from the next frame on.
    void setMultisamples(uint32_t samples);
    // Rebuilds the device, telling every registered resource before and after.
    bool reset();
    virtual void applyDefaultStates();
    // The states every frame's drawing starts from, whatever the frame before left: the
    // defaults, the perspective projection and the viewport.
    void applyFrameStates();
    // False while the device is lost: nothing drawn would be seen.
    bool canDraw() { return device && device->testCooperativeLevel() == platform::gfx::Result::Ok; }
    // Clears the frame to opaque black and far depth and, when the device can draw (it
    // cannot while lost), runs `draw` between the scene's begin and end.
    template <typename Draw>
    void drawScene(Draw&& draw) {
        device->clear(platform::gfx::clearFlags::Target | platform::gfx::clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
        if (!device->beginScene()) return;
        applyFrameStates();
        draw();
        device->endScene();
    }
    // Shows the finished frame; when the device was lost and can be rebuilt, rebuilds it
    // (reset, then resize) so that the next frame draws again.
    void presentFrame();

    // Lets the device go, before the window it draws into does. Resources stay registered.
    void release();
    void registerResource(DeviceResource& resource);
    void unregisterResource(DeviceResource& resource);

    std::unique_ptr<platform::gfx::GraphicsDevice> device;
    platform::gfx::Surface* backBuffer = nullptr;
    platform::gfx::Surface* depthBuffer = nullptr;
    platform::gfx::PresentParameters presentationParameters;
    PointerList<DeviceResource> resources;

private:
    void setProjectionAndViewport();

    PieceScreen screen_;
    platform::gfx::Result lastResetFailure_ = platform::gfx::Result::Ok;
};

// The piece's white directional light (ambient half white), shining along `direction`.
platform::gfx::Light whiteDirectionalLight(const Vector3& direction);

// No texture; stage 0 modulating texture and vertex colour with the vertex's alpha; linear
// filtering: the texture state every frame starts from, which overlays restore after them.
void applyDefaultTextureStage(platform::gfx::GraphicsDevice& device);

// The line written to standard error when a reset fails with `result`; empty for results
// that have none.
const char* resetFailureLine(platform::gfx::Result result);

}  // namespace glassfalls
