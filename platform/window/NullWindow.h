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
    void wait(uint32_t) override {}
    void hideCursor() override {}
    void close() override { closed_ = true; }

private:
    std::deque<Message> pending_;
    bool closed_ = false;
};

}  // namespace glassfalls::platform
