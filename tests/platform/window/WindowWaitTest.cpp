// SPDX-License-Identifier: GPL-3.0-or-later
// The window's one wait between frames ends on whatever it watches: a readable socket, or a
// wake another thread gives (as the microphone's does when a block is ready).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/net/Socket.h"
#include "platform/os/MainLoopWake.h"
#include "platform/window/Window.h"

namespace glassfalls::platform {
namespace {

constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1, network order

TEST(WindowWait, EndsOnAReadableSocketOrAWakeLongBeforeItsTimeout) {
    WindowConfig config;
    config.headless = true;
    auto window = openSdlWindow(config);
    ASSERT_TRUE(window) << window.error();
    // As the piece's window always has: a device drawing for it.
    gfx::PresentParameters parameters;
    parameters.backBufferWidth = 640;
    parameters.backBufferHeight = 480;
    auto device = (*window)->createDevice(gfx::DeviceType::Hardware, parameters);
    ASSERT_TRUE(device) << device.error();
    net::Socket receiver = net::Socket::udp();
    ASSERT_TRUE(receiver.bind(0, kLoopback));
    const net::Endpoint at = receiver.local();
    net::Socket sender = net::Socket::udp();
    const int sockets[] = {receiver.fd()};

    struct Case {
        const char* name;
        std::function<void()> poke;
    };
    const Case cases[] = {
        {"a datagram", [&] { sender.sendTo(std::vector<uint8_t>{1}, at); }},
        {"a wake from another thread", [] { wakeTheMainLoop(); }},
    };
    for (const Case& c : cases) {
        // However late the poke comes, before the wait or during it, the wait ends on it.
        std::thread poker([&c] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            c.poke();
        });
        const auto start = std::chrono::steady_clock::now();
        (*window)->wait(60000, sockets);
        const auto waited = std::chrono::steady_clock::now() - start;
        poker.join();
        EXPECT_LT(waited, std::chrono::seconds(30)) << c.name << " did not end the wait";
        std::vector<uint8_t> datagram(16);
        net::Endpoint from;
        while (receiver.receiveFrom(datagram, from) >= 0) {
        }
    }
}

}  // namespace
}  // namespace glassfalls::platform
