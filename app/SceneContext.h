// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls {

class RenderDevice;
class World;

// What a scene uses of the program: the device it draws with, the world it steps and draws
// (which keeps the frame pace), whether it is shown, and the close request. The application
// provides it and outlives the scenes. Main thread only.
class SceneContext {
public:
    virtual ~SceneContext() = default;

    virtual RenderDevice& renderDevice() = 0;
    virtual World& world() = 0;
    // False once the piece is closing, and while its window is in the background: the scenes
    // then stand still.
    virtual bool showing() const = 0;
    // Closes the window once this frame has been presented.
    virtual void requestClose() = 0;
};

}  // namespace glassfalls
