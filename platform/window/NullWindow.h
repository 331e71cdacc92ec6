#pragma once

#include <deque>

#include "platform/window/Window.h"

namespace glassfalls::platform {

// A window without a screen: events are whatever the owner injects. For tests.
class NullWindow final : public Window {
public:
    void inject(Message m) { pending_.push_back(m); }
    bool closed() const { return closed_; }

    void poll(std::deque<Message>& queue) override {
        queue.insert(queue.end(), pending_.begin(), pending_.end());
        pending_.clear();
    }
    void wait(uint32_t, std::span<const int>) override {}
    void hideCursor() override {}
    void close() override { closed_ = true; }
    // Drawing still happens for real, off-screen, so that tests see actual frames.
    std::unique_ptr<gl::GlContext> createGlContext(gfx::DeviceType type,
                                                    std::string& error) override {
        return gl::createOffscreenGlContext(640, 480, type, error);
    }

private:
    std::deque<Message> pending_;
    bool closed_ = false;
};

}  // namespace glassfalls::platform
