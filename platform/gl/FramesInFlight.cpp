// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/FramesInFlight.h"

#include "platform/os/Browser.h"

namespace glassfalls::platform::gl {

void FramesInFlight::frameHandedOver() {
    // A page cannot wait on WebGL: the browser paces its frames and keeps their number down.
    if constexpr (kInBrowser) return;
    if (!syncObjects_) {
        glFinish();
        return;
    }
    fences_.push_back(glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0));
    // The flush starts the frame's drawing now rather than when the next one fills a batch.
    glFlush();
    while (fences_.size() >= kLimit) {
        // A frame takes milliseconds; a second stands for "never", after which the piece goes
        // on rather than hang on a driver that lost the fence.
        constexpr GLuint64 kOneSecond = 1'000'000'000;
        glClientWaitSync(fences_.front(), GL_SYNC_FLUSH_COMMANDS_BIT, kOneSecond);
        glDeleteSync(fences_.front());
        fences_.pop_front();
    }
}

void FramesInFlight::release() {
    for (const GLsync fence : fences_) glDeleteSync(fence);
    fences_.clear();
}

}  // namespace glassfalls::platform::gl
