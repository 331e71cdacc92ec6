// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/gl/GlDevice.h"
#include "platform/os/Browser.h"
#include "platform/os/MainLoopWake.h"
#include "platform/window/DisplayEvents.h"
#include "platform/window/WaylandSeat.h"
#include "platform/window/Window.h"

namespace glassfalls::platform {

namespace {

class SdlWindow final : public Window {
public:
    SdlWindow(SDL_Window* window, gfx::Renderer renderer)
        : window_(window), renderer_(renderer), display_(displayEventsOf(window)), wake_(mainLoopWakeDescriptor()) {}
    ~SdlWindow() override {
        close();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    void poll(std::deque<Message>& queue) override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) translate(e, queue);
    }

    void wait(uint32_t timeoutMs, std::span<const int> sockets) override {
        if (!display_.complete || wake_ < 0) {
            waitInSlices(timeoutMs, sockets);
            return;
        }
        // One wait on everything that can end it: the sockets, the display connection, and
        // the wake other threads give. What SDL has read already is looked at first.
        if (eventPending()) return;
        watch(sockets);
        if (display_.descriptor >= 0) watched_.push_back({display_.descriptor, POLLIN, 0});
        watched_.push_back({wake_, POLLIN, 0});
        ::poll(watched_.data(), watched_.size(), pollTimeout(timeoutMs));
        clearMainLoopWake();
    }

    // Where SDL reads events from descriptors of its own: its wait, or, with sockets, short
    // waits on each in turn, so that neither a key nor a picture waits longer than a slice.
    void waitInSlices(uint32_t timeoutMs, std::span<const int> sockets) {
        if (sockets.empty()) {
            SDL_WaitEventTimeout(nullptr, pollTimeout(timeoutMs));
            return;
        }
        constexpr uint32_t kSliceMs = 4;
        watch(sockets);
        const Uint32 start = SDL_GetTicks();
        for (;;) {
            if (eventPending()) return;
            const Uint32 spent = SDL_GetTicks() - start;
            if (spent >= timeoutMs) return;
            const int slice = pollTimeout(std::min(kSliceMs, timeoutMs - spent));
            if (::poll(watched_.data(), watched_.size(), slice) > 0) return;
        }
    }

    // Reads what the window system has sent; true when an event waits in SDL's queue.
    static bool eventPending() {
        SDL_PumpEvents();
        return SDL_PeepEvents(nullptr, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0;
    }

    // The poll list holds `sockets` alone; kept from wait to wait, it allocates nothing.
    void watch(std::span<const int> sockets) {
        watched_.clear();
        for (const int fd : sockets) watched_.push_back({fd, POLLIN, 0});
    }

    static int pollTimeout(uint32_t ms) { return static_cast<int>(std::min<uint32_t>(ms, 1u << 30)); }

    void hideCursor() override { SDL_ShowCursor(SDL_DISABLE); }

    void close() override {
        if (window_) SDL_DestroyWindow(window_);
        window_ = nullptr;
    }

    void drawableSize(int& width, int& height) const override {
        width = height = 0;
        if (window_) SDL_GL_GetDrawableSize(window_, &width, &height);
    }

    Expected<std::unique_ptr<gfx::GraphicsDevice>> createDevice(gfx::DeviceType type,
                                                                const gfx::PresentParameters& parameters) override {
        if (!window_) return failure("the window is closed");
        return gl::GlDevice::create(gl::createSdlGlContext(window_, type, renderer_), parameters);
    }

private:
    static void translate(const SDL_Event& e, std::deque<Message>& queue) {
        // SIGINT and SIGTERM arrive as SDL_QUIT, so they take the same orderly way out as
        // closing the window: notes silenced, devices closed, exit status 0.
        if (e.type == SDL_QUIT) {
            queue.push_back({MessageId::Close});
            return;
        }
        if (e.type != SDL_WINDOWEVENT) return;
        switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE: queue.push_back({MessageId::Close}); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: queue.push_back({MessageId::Activate, 1}); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: queue.push_back({MessageId::Activate, 0}); break;
            case SDL_WINDOWEVENT_MINIMIZED: queue.push_back({MessageId::ActivateApp, 0}); break;
            case SDL_WINDOWEVENT_RESTORED: queue.push_back({MessageId::ActivateApp, 1}); break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: queue.push_back({MessageId::Size}); break;
            default: break;
        }
    }

    SDL_Window* window_;
    gfx::Renderer renderer_;
    DisplayEvents display_;
    int wake_;
    std::vector<pollfd> watched_;  // what the wait in progress watches
};

// Display servers that are not there print their own complaints while SDL probes them; the
// piece says in one line what it could not do, so those are silenced for the probe.
bool initVideoQuietly() {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (saved >= 0 && null >= 0) dup2(saved, STDERR_FILENO);
    if (null >= 0) close(null);
    if (saved >= 0) close(saved);
    return started;
}

std::vector<DisplayInfo> displaysOfTheVideoSystem() {
    std::vector<DisplayInfo> displays;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect bounds{};
        SDL_GetDisplayBounds(i, &bounds);
        const char* name = SDL_GetDisplayName(i);
        displays.push_back({i, name ? name : "display", bounds.w, bounds.h});
    }
    return displays;
}

}  // namespace

std::vector<DisplayInfo> listDisplays() {
    const bool started = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!started && !initVideoQuietly()) return {};
    std::vector<DisplayInfo> displays;
    if (!videoDriverShowsNothing()) displays = displaysOfTheVideoSystem();
    if (!started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return displays;
}

std::string describeDisplays(const std::vector<DisplayInfo>& displays) {
    if (displays.empty()) return "none";
    std::string text;
    for (const DisplayInfo& d : displays) {
        if (!text.empty()) text += ", ";
        text += std::to_string(d.index) + " " + d.name + " (" + std::to_string(d.width) + "x" +
                std::to_string(d.height) + ")";
    }
    return text;
}

namespace {

// Where the window goes: anywhere on the first display, or on the one asked for.
Expected<int> placeOnDisplay(const WindowConfig& config) {
    if (!config.display || config.headless) return static_cast<int>(SDL_WINDOWPOS_UNDEFINED);
    const std::vector<DisplayInfo> displays = displaysOfTheVideoSystem();
    if (*config.display >= static_cast<int>(displays.size())) {
        return failure("there is no display " + std::to_string(*config.display) +
                       "; the displays are: " + describeDisplays(displays));
    }
    return static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(*config.display));
}

// Debian 12's SDL (2.26) crashes inside its own Wayland driver when the compositor offers no
// input seat, as a kiosk's with no keyboard or mouse attached does; SDL takes that driver
// only when SDL_VIDEODRIVER asks for it. The compositor is asked first: without a seat the
// piece draws through X11 (XWayland) where there is one, saying so, and else does not start.
Expected<void> steerClearOfSeatlessWayland() {
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (!asked || SDL_strcasecmp(asked, "wayland") != 0) return {};
    SDL_version linked{};
    SDL_GetVersion(&linked);
    if (linked.major > 2 || linked.minor > 26) return {};
    const WaylandSeat seat = askCompositorForSeat();
    if (seat == WaylandSeat::CannotAsk) {
        std::fprintf(stderr,
                     "glassfalls: this build has no Wayland helpers to ask the compositor for an input seat; SDL "
                     "%d.%d's Wayland driver crashes without one\n",
                     linked.major, linked.minor);
        return {};
    }
    if (seat != WaylandSeat::Missing) return {};
    const std::string why = "the Wayland compositor offers no input seat (no keyboard or mouse), and SDL " +
                            std::to_string(linked.major) + "." + std::to_string(linked.minor) +
                            "'s Wayland driver crashes without one";
    if (SDL_getenv("DISPLAY")) {
        std::fprintf(stderr, "glassfalls: %s; drawing through X11 (XWayland) instead\n", why.c_str());
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_OVERRIDE);
        return {};
    }
    return failure(why + "; attach a keyboard or mouse, or start it where X11 (XWayland) is offered");
}

}  // namespace

Expected<std::unique_ptr<Window>> openSdlWindow(const WindowConfig& config) {
    if (!config.headless) {
        if (auto steered = steerClearOfSeatlessWayland(); !steered) return failure(steered.error());
    }
    // A page has the one driver, its canvas, which a headless page draws into unseen.
    if (config.headless && !kInBrowser) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    const bool driverChosen = config.headless || kInBrowser || SDL_getenv("SDL_VIDEODRIVER") != nullptr;
    if (!initVideoQuietly()) return failure(std::string("cannot start the video system: ") + SDL_GetError());
    // Without a display SDL settles for a driver that shows nothing, and the piece would run
    // unseen until killed. Whoever picks such a driver on purpose gets it.
    if (!driverChosen && videoDriverShowsNothing()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return failure("no display found; run it from a desktop session, or use --headless to render off-screen");
    }
    const auto placed = placeOnDisplay(config);
    if (!placed) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return failure(placed.error());
    }
    const int position = *placed;
    // Where SDL could draw through GLX or EGL it picks one when the window is made, by the
    // profile asked for then: ES must be asked for before.
    if (config.renderer == gfx::Renderer::Es)
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    // A headless window exists only for its drawing context.
    Uint32 flags = (config.headless ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN) | SDL_WINDOW_OPENGL;
    if (kInBrowser) {
        // The canvas fills the page, and its pixels follow the page's size; full screen is
        // the visitor's to ask for.
        flags |= SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    } else {
        flags |= config.fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_RESIZABLE;
    }
    SDL_Window* window = SDL_CreateWindow(config.title.c_str(), position, position, config.width, config.height, flags);
    if (!window) {
        const std::string why = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return failure("cannot open the window: " + why);
    }
    return std::make_unique<SdlWindow>(window, config.renderer);
}

}  // namespace glassfalls::platform
