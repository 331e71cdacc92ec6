// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowBase.h"

#include <cassert>

namespace glassfalls {

using platform::Message;
using platform::MessageId;

void WindowBase::create(std::unique_ptr<platform::Window> window) {
    assert(window && "WindowBase::create needs an opened window");
    window_ = std::move(window);
    destroyed_ = false;
}

std::optional<int> WindowBase::pass() {
    assert(window_ && "WindowBase::create was not called");
    if (!begun_) {
        // The window was activated before anyone listened; say so again now.
        begun_ = true;
        postMessage({MessageId::Activate, 1});
    }
    window_->poll(queue_);
    pollSources();
    if (!queue_.empty()) {
        const Message message = queue_.front();
        queue_.pop_front();
        if (message.id == MessageId::Quit) {
            onExit();
            return static_cast<int>(message.wParam);
        }
        sendMessage(message);
    }
    onIdle();
    return std::nullopt;
}

int WindowBase::run() {
    for (;;) {
        if (const auto code = pass()) return *code;
        if (queue_.empty()) waitForWork();
    }
}

void WindowBase::dispatchWaiting() {
    while (!queue_.empty() && queue_.front().id != MessageId::Quit) {
        const Message message = queue_.front();
        queue_.pop_front();
        sendMessage(message);
    }
}

int64_t WindowBase::sendMessage(const Message& message) {
    // A destroyed window receives nothing more.
    if (!hasWindow()) return 0;
    return windowProc(message);
}

int64_t WindowBase::windowProc(const Message& message) {
    switch (message.id) {
        case MessageId::Destroy: postQuitMessage(0); break;
        case MessageId::Activate: active = message.wParam != 0; break;
        default: break;
    }
    return defWindowProc(message);
}

int64_t WindowBase::defWindowProc(const Message& message) {
    if (message.id == MessageId::Close) destroyWindow();
    return 0;
}

void WindowBase::destroyWindow() {
    if (!hasWindow()) return;
    // Marked first so that whatever Destroy's handling sends goes nowhere instead of
    // destroying the window a second time.
    destroyed_ = true;
    // Destroy is handled while the window is still there, so that what draws into it can
    // let go of it first.
    windowProc({MessageId::Destroy});
    window_->close();
}

}  // namespace glassfalls
