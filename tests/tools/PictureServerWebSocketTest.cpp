// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <libwebsockets.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "tests/support/FreePort.h"
#include "tests/support/PumpUntil.h"
#include "tools/picture-server/PictureServer.h"

namespace picture_server {
namespace {

// One picture, always the same, so that what arrives can be compared with it.
class OnePicture final : public PictureSource {
public:
    OnePicture() : bytes_(kPictureBytes) {
        for (size_t i = 0; i < bytes_.size(); ++i) bytes_[i] = static_cast<uint8_t>(i * 7);
    }
    const PictureBytes& next() override { return bytes_; }
    const PictureBytes& bytes() const { return bytes_; }

private:
    PictureBytes bytes_;
};

// A browser of the test's own: a libwebsockets client that keeps the messages it receives,
// serviced on a thread of its own.
class TestBrowser {
public:
    explicit TestBrowser(int port) {
        lws_set_log_level(0, nullptr);
        protocols_[0] = {"glassfalls-pictures", &TestBrowser::onEvent, 0, 0, 0, nullptr, 0};
        protocols_[1] = {nullptr, nullptr, 0, 0, 0, nullptr, 0};
        lws_context_creation_info info;
        std::memset(&info, 0, sizeof info);
        info.port = CONTEXT_PORT_NO_LISTEN;
        info.protocols = protocols_;
        info.user = this;
        info.gid = -1;
        info.uid = -1;
        context_ = lws_create_context(&info);
        lws_client_connect_info connect;
        std::memset(&connect, 0, sizeof connect);
        connect.context = context_;
        connect.address = "127.0.0.1";
        connect.port = port;
        connect.path = "/";
        connect.host = connect.origin = "127.0.0.1";
        connect.protocol = "glassfalls-pictures";
        lws_client_connect_via_info(&connect);
        service_ = std::thread([this] {
            while (!stopping_) lws_service(context_, 0);
        });
    }
    ~TestBrowser() {
        stopping_ = true;
        lws_cancel_service(context_);
        service_.join();
        lws_context_destroy(context_);
    }
    std::vector<std::vector<uint8_t>> messages() {
        std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    static int onEvent(lws* connection, lws_callback_reasons reason, void*, void* in, size_t length) {
        auto* self = static_cast<TestBrowser*>(lws_context_user(lws_get_context(connection)));
        if (reason != LWS_CALLBACK_CLIENT_RECEIVE) return 0;
        const auto* bytes = static_cast<const uint8_t*>(in);
        self->assembling_.insert(self->assembling_.end(), bytes, bytes + length);
        if (lws_is_final_fragment(connection) && lws_remaining_packet_payload(connection) == 0) {
            std::lock_guard lock(self->mutex_);
            self->messages_.push_back(std::move(self->assembling_));
            self->assembling_.clear();
        }
        return 0;
    }

    lws_protocols protocols_[2];
    lws_context* context_ = nullptr;
    std::thread service_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<uint8_t> assembling_;  // service thread only
    std::vector<std::vector<uint8_t>> messages_;
};

// A browser over WebSocket is served in the rounds as the pieces are: each round's picture
// as one binary message, whole.
TEST(PictureServerWebSocket, ABrowserGetsEachRoundsPictureAsOneMessage) {
    OnePicture source;
    PictureServer server(source, [](const std::string&) {});
    WebSocketClients browsers;
    const int port = glassfalls::test_support::freeTcpPort();
    ASSERT_TRUE(browsers.listen(static_cast<uint16_t>(port)));
    server.serveBrowsers(browsers);
    TestBrowser browser(port);
    const auto idle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(5)); };
    ASSERT_TRUE(glassfalls::test_support::pumpUntil(idle, [&] { return browsers.connected().size() == 1; }));
    for (int round = 0; round < 3; ++round) {
        const auto now = PictureServer::Clock::now();
        server.startRound(now, std::chrono::milliseconds(0));
        server.sendDue(now);
        ASSERT_TRUE(glassfalls::test_support::pumpUntil(
            idle, [&] { return browser.messages().size() == static_cast<size_t>(round + 1); }))
            << "round " << round;
    }
    for (const auto& message : browser.messages()) EXPECT_TRUE(message == source.bytes());
    EXPECT_EQ(server.picturesSent(), 3u);

    // One that is in use already is said in one line.
    WebSocketClients taken;
    const auto refused = taken.listen(static_cast<uint16_t>(port));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), "cannot listen for WebSocket on port " + std::to_string(port));
}

}  // namespace
}  // namespace picture_server
