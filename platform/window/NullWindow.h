// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>

#include "platform/gfx/RecordingDevice.h"
#include "platform/gl/GlDevice.h"
#include "platform/window/Window.h"

namespace glassfalls::platform {

// A window without a screen: events are whatever the owner injects. For tests.
class NullWindow final : public Window {
public:
    // Off-screen on Mesa, so that tests see actual frames; or on the recording device, for
    // tests where the pixels do not matter.
    enum class Drawing { OffscreenGl, Recorded };
    explicit NullWindow(Drawing drawing = Drawing::OffscreenGl, gfx::Renderer renderer = gfx::Renderer::Auto)
        : drawing_(drawing), renderer_(renderer) {}

    void inject(Message m) { pending_.push_back(m); }
    // A window made larger or smaller, as the user would: its drawing area becomes
    // width x height, and a Size message says so.
    void resizeTo(int width, int height) {
        width_ = width;
        height_ = height;
        inject({MessageId::Size});
    }
    bool closed() const { return closed_; }

    void poll(std::deque<Message>& queue) override {
        queue.insert(queue.end(), pending_.begin(), pending_.end());
        pending_.clear();
    }
    void wait(uint32_t, std::span<const int>) override {}
    void hideCursor() override {}
    void drawableSize(int& width, int& height) const override {
        width = width_;
        height = height_;
    }
    void close() override { closed_ = true; }
    Expected<std::unique_ptr<gfx::GraphicsDevice>> createDevice(gfx::DeviceType type,
                                                                const gfx::PresentParameters& parameters) override {
        if (drawing_ == Drawing::Recorded) {
            return std::make_unique<gfx::RecordingDevice>(parameters);
        }
        return gl::GlDevice::create(gl::createOffscreenGlContext(640, 480, type, renderer_), parameters);
    }

private:
    Drawing drawing_;
    gfx::Renderer renderer_;
    std::deque<Message> pending_;
    bool closed_ = false;
    int width_ = 640, height_ = 480;
};

}  // namespace glassfalls::platform
