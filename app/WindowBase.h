// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

#include "platform/os/Message.h"
#include "platform/window/Window.h"

namespace glassfalls {

// The window and its message loop. Every event reaches the program as a message handled by
// windowProc on the main thread, one at a time and never in the middle of a frame.
class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase() = default;

    // Takes over an opened window.
    void create(std::unique_ptr<platform::Window> window);

    // One pass of the message loop, which never waits: takes the window's events and what the
    // other sources have ready, handles one waiting message, and lets the program advance if
    // it is due. Returns the exit code once the pass reached a Quit message. A browser calls
    // it once per animation frame.
    std::optional<int> pass();
    // The desktop's driver: passes until a Quit message, sleeping between passes while nothing
    // is waiting; returns the Quit's code.
    int run();

    // Queues a message for the loop.
    void postMessage(platform::Message message) { queue_.push_back(message); }
    // Handles a message at once, before returning.
    int64_t sendMessage(const platform::Message& message);
    void postQuitMessage(int code) { postMessage({platform::MessageId::Quit, static_cast<uint64_t>(code)}); }
    // Handles the messages waiting, as the loop does between frames; a Quit stays waiting.
    void dispatchWaiting();

    bool hasWindow() const { return window_ && !destroyed_; }
    bool messagesWaiting() const { return !queue_.empty(); }
    platform::Window& window() { return *window_; }

    bool active = false;
    int32_t width = 0;
    int32_t height = 0;

protected:
    // Runs on every pass of the loop, after the message of that pass if there was one.
    virtual void onIdle() {}
    virtual int64_t windowProc(const platform::Message& message);
    virtual void onExit() {}
    // Called on every pass right after the platform's events were queued, between frames:
    // the place to take what other sources (microphone, network) have ready.
    virtual void pollSources() {}
    // Called by the desktop's driver when a pass ends with no message waiting: the place to
    // sleep until something is due. Not sleeping is correct, only wasteful.
    virtual void waitForWork() {}

    // What happens to a message nobody acted on, or after they acted: Close destroys the
    // window, sending Destroy just before it goes.
    int64_t defWindowProc(const platform::Message& message);

private:
    void destroyWindow();

    std::unique_ptr<platform::Window> window_;
    bool destroyed_ = false;
    std::deque<platform::Message> queue_;
    bool begun_ = false;
};

}  // namespace glassfalls
