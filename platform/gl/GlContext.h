// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/DeviceTypes.h"
#include "platform/os/Expected.h"

struct SDL_Window;

namespace glassfalls::platform::gl {

using gfx::DeviceType;
using gfx::Renderer;

// An OpenGL context, current on the main thread, with the drawable that it presents to.
class GlContext {
public:
    virtual ~GlContext() = default;

    // Compat, Core or Es: what this context is, and so which pipeline draws on it.
    virtual Renderer api() const = 0;
    virtual void makeCurrent() = 0;
    virtual void swapBuffers() = 0;
    virtual void drawableSize(int& width, int& height) const = 0;
    // False for a drawable nobody sees (a hidden window): presenting to it is skipped.
    virtual bool showsFrames() const = 0;
    virtual void setVsync(bool on) = 0;
    // True when the driver reports that the context was reset and its objects are gone.
    virtual bool wasReset() = 0;
    // Replaces a reset context by a new one on the same drawable.
    virtual Expected<void> recreate() = 0;
    // A short description of the renderer, for messages.
    virtual std::string renderer() const = 0;
};

// A context on an SDL window created with SDL_WINDOW_OPENGL. Hardware asks the system's
// driver; Software asks Mesa's software rasteriser. Auto tries compat, core and es in turn
// and, when it passes over one, says on one line which it got and why. A failure says what
// the driver offers against what is needed.
Expected<std::unique_ptr<GlContext>> createSdlGlContext(SDL_Window* window, DeviceType type, Renderer renderer);

// A context on a hidden window of its own, through SDL's off-screen video driver: drawing
// with no display at all (tests, and windows that only exist in memory).
Expected<std::unique_ptr<GlContext>> createOffscreenGlContext(int width, int height, DeviceType type,
                                                              Renderer renderer);

}  // namespace glassfalls::platform::gl
