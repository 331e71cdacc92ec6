// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <deque>

#include "platform/gl/Gl.h"

namespace glassfalls::platform::gl {

// Bounds how far the processor runs ahead of the renderer. A software renderer draws a frame
// on threads of its own after it is handed over; with nothing holding it back the processor
// queues frames faster than they are drawn (memory grew by megabytes a frame), and waiting
// for every frame to be drawn leaves those threads idle while the next one is built. So the
// processor builds frame N+1 while frame N is drawn, and waits for frame N before it hands
// over N+1's successor.
class FramesInFlight {
public:
    static constexpr size_t kLimit = 2;

    // Sync objects come with OpenGL 3.2, GL_ARB_sync and OpenGL ES 3.0; without them every
    // frame is waited for.
    explicit FramesInFlight(bool syncObjects) : syncObjects_(syncObjects) {}
    ~FramesInFlight() { release(); }
    FramesInFlight(const FramesInFlight&) = delete;
    FramesInFlight& operator=(const FramesInFlight&) = delete;

    // After the commands of a frame: starts drawing it, then waits until fewer than kLimit
    // frames, this one among them, are still being drawn.
    void frameHandedOver();
    // Forgets the fences without deleting them (their context is gone).
    void abandon() { fences_.clear(); }
    void release();

private:
    bool syncObjects_;
    std::deque<GLsync> fences_;  // oldest first
};

}  // namespace glassfalls::platform::gl
