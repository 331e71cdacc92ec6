// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DrawnFrames.h"

namespace glassfalls {

void DrawnFrames::afterAdvance(uint64_t advance, uint32_t now, platform::gfx::GraphicsDevice& device) {
    finish(device);
    if (!video_.isOpen() && !screenshots_.wants(advance)) return;
    device.startReadBack();
    reading_ = Reading{advance, now};
}

void DrawnFrames::finish(platform::gfx::GraphicsDevice& device) {
    if (!reading_) return;
    const Reading read = *reading_;
    reading_.reset();
    // A frame lost with the device is one the video shows the one before for.
    if (!device.finishReadBack(pixels_)) return;
    const platform::gfx::PresentParameters& frame = device.presentParameters();
    screenshots_.take(read.advance, static_cast<int>(frame.backBufferWidth), static_cast<int>(frame.backBufferHeight),
                      pixels_);
    video_.addFrame(read.now, pixels_);
}

}  // namespace glassfalls
