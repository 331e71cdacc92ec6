// SPDX-License-Identifier: GPL-3.0-or-later
// A kiosk's compositor with no keyboard or mouse attached offers no input seat, where the
// SDL of Debian 12 crashes in its Wayland driver. A compositor of the test's own, with or
// without a seat, is asked by the probe and by the piece.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <wayland-server.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/window/WaylandSeat.h"
#include "tests/app/RunProgram.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

// A compositor that announces a seat or nothing, serving on its own thread at a socket path.
class TestCompositor {
public:
    TestCompositor(const std::string& name, bool withSeat) : path_(test_support::tempPath(name).string()) {
        display_ = wl_display_create();
        if (withSeat) wl_global_create(display_, &wl_seat_interface, 1, nullptr, bindSeat);
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path_.c_str());
        std::filesystem::remove(path_);
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd, 8) == 0) {
            wl_display_add_socket_fd(display_, fd);
        }
        serving_ = std::thread([this] {
            while (!stop_) {
                wl_event_loop_dispatch(wl_display_get_event_loop(display_), 10);
                wl_display_flush_clients(display_);
            }
        });
    }
    ~TestCompositor() {
        stop_ = true;
        serving_.join();
        wl_display_destroy(display_);
        std::filesystem::remove(path_);
    }
    TestCompositor(const TestCompositor&) = delete;
    TestCompositor& operator=(const TestCompositor&) = delete;

    const std::string& path() const { return path_; }

private:
    static void bindSeat(wl_client* client, void*, uint32_t version, uint32_t id) {
        wl_resource_create(client, &wl_seat_interface, static_cast<int>(version), id);
    }

    std::string path_;
    wl_display* display_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

TEST(WaylandSeat, ASeatlessCompositorIsToldApartAndThePieceSaysWhyItCannotDrawThere) {
    const TestCompositor kiosk("kiosk-compositor", false);
    const TestCompositor desk("desk-compositor", true);
    EXPECT_EQ(platform::askCompositorForSeat(kiosk.path().c_str()), platform::WaylandSeat::Missing);
    EXPECT_EQ(platform::askCompositorForSeat(desk.path().c_str()), platform::WaylandSeat::Offered);
    EXPECT_EQ(platform::askCompositorForSeat(test_support::tempPath("no-compositor").c_str()),
              platform::WaylandSeat::NoCompositor);

    // Asked for Wayland by a seatless compositor, with no X11 to draw through instead, the
    // piece ends start-up with one line rather than crash.
    const test_support::Outcome run = test_support::runProgram(
        "--windowed --frames 2 --midi none --data " + test_support::TestDataDirectory::source().string(),
        "env -u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY=" + kiosk.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output.rfind(
                  "glassfalls: the Wayland compositor offers no input seat (no keyboard or mouse), and SDL 2.", 0),
              0u)
        << run.output;
    EXPECT_NE(run.output.find("; attach a keyboard or mouse, or start it where X11 (XWayland) is offered\n"),
              std::string::npos)
        << run.output;
}

}  // namespace
}  // namespace glassfalls
