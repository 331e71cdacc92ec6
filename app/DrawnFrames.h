// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/Screenshots.h"
#include "app/VideoRecording.h"
#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls {

// Hands drawn frames to the screenshots and the video. A frame is read back while the next
// one is drawn: the frame of advance N goes to them after advance N + 1, or at the end, so
// reading never holds up the drawing. Each file still holds the very frame it names.
class DrawnFrames {
public:
    DrawnFrames(Screenshots& screenshots, VideoRecording& video) : screenshots_(screenshots), video_(video) {}

    // After the advance at `now` has drawn its frame.
    void afterAdvance(uint64_t advance, uint32_t now, platform::gfx::GraphicsDevice& device);
    // Hands over the frame still being read.
    void finish(platform::gfx::GraphicsDevice& device);

private:
    struct Reading {
        uint64_t advance;
        uint32_t now;
    };

    Screenshots& screenshots_;
    VideoRecording& video_;
    std::optional<Reading> reading_;
    std::vector<uint32_t> pixels_;
};

}  // namespace glassfalls
