#pragma once

#include <cstdint>

namespace glassfalls {

class RenderDevice;
class World;
namespace platform {
class Keyboard;
}

// What a scene uses of the program, one frame at a time: the device it draws with, the world
// it draws (which keeps the frame pace), this frame's keys and the close request. The application
// provides it and outlives the scenes. Main thread only.
class SceneContext {
public:
    virtual ~SceneContext() = default;

    virtual RenderDevice& renderDevice() = 0;
    virtual World& world() = 0;
    // The keys as they stand for this frame.
    virtual const platform::Keyboard& keys() const = 0;
    // False once the piece is closing, and while its window is in the background: the scenes
    // then stand still.
    virtual bool showing() const = 0;
    // Closes the window once this frame has been presented.
    virtual void requestClose() = 0;
    // The picture server's newest picture when one came since the last call; null otherwise.
    virtual const uint8_t* takeNewPicture() = 0;
    // Shows the finished frame; rebuilds a lost device so that the next frame draws again.
    virtual void presentFrame() = 0;
};

}  // namespace glassfalls
