// SPDX-License-Identifier: GPL-3.0-or-later
// The picture link against a server made of real sockets on loopback.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "math/MatrixBuilders.h"
#include "net/ImageNetLink.h"
#include "render/Ground.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "tests/render/RenderDeviceFixture.h"
#include "tests/support/PumpUntil.h"

namespace glassfalls {
namespace {

namespace net = platform::net;

constexpr uint32_t kLoopback = 0x0100007F;       // 127.0.0.1, network order
constexpr uint32_t kOtherLoopback = 0x0200007F;  // 127.0.0.2: loopback too, another address

std::vector<uint8_t> picture(uint8_t first, size_t bytes = ImageNetLink::kPictureBytes) {
    std::vector<uint8_t> p(bytes, 90);
    p[0] = first;
    return p;
}

// A picture server's two sockets on one port number, and the connection it accepted.
struct TestServer {
    explicit TestServer(uint16_t wanted = 0) {
        EXPECT_TRUE(listener.bind(wanted, kLoopback) && listener.listen());
        port = listener.local().port;
        EXPECT_TRUE(udp.bind(port, kLoopback));
    }
    // Waits for the link's connection while pumping it.
    bool accept(const std::function<void()>& pump) {
        return test_support::pumpUntil(pump, [this] { return static_cast<bool>(connection = listener.accept()); });
    }
    net::Socket listener = net::Socket::tcp();
    net::Socket udp = net::Socket::udp();
    net::Socket connection;
    uint16_t port = 0;
};

class NetLinkTest : public ::testing::Test {
protected:
    // One pass of the main loop for the link.
    void pass() {
        link.poll(now);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    bool passUntil(const std::function<bool()>& done) {
        return test_support::pumpUntil([this] { pass(); }, done);
    }
    // Connects, registers as index 3 and returns where the link receives pictures.
    net::Endpoint registerLink() {
        EXPECT_TRUE(link.open("127.0.0.1", server.port));
        EXPECT_TRUE(server.accept([this] { pass(); }));
        const uint8_t registration[4] = {0xFF, 0xFF, 0x03, 0x00};
        server.connection.send(registration);
        uint8_t reply[8] = {};
        net::Endpoint from;
        long n = -1;
        passUntil([&] { return (n = server.udp.receiveFrom(reply, from)) >= 0; });
        EXPECT_EQ(n, 4);
        EXPECT_EQ(std::vector<uint8_t>(reply, reply + 4), (std::vector<uint8_t>{0xFE, 0xFF, 0x03, 0x00}));
        EXPECT_EQ(from.address, kLoopback);
        return from;
    }

    TestServer server;
    ImageNetLink link;
    uint32_t now = 0;  // the program's clock: still, so the link does not try to reconnect
};

TEST_F(NetLinkTest, TheRegistrationIsAnsweredByUdpToTheServersPort) {
    registerLink();
    EXPECT_TRUE(link.connectedToServer());
}

// A registration is four bytes starting FF FF, however the stream cuts them; anything else
// is other data and answered with nothing.
TEST(NetLinkRegistration, IsGatheredAcrossReadsAndOtherDataIsIgnored) {
    using Bytes = std::vector<uint8_t>;
    struct Case {
        std::vector<Bytes> reads;
        int index;  // -1: no reply
    };
    const Case cases[] = {
        {{{0xFF, 0xFF, 0x07, 0x00}}, 7},  {{{0xFF, 0xFF}, {0x03, 0x00}}, 3},  {{{0xFF}, {0xFF, 0x02}, {0x01}}, 0x0102},
        {{{0x01, 0x02, 0x03, 0x00}}, -1}, {{{0xFF}, {0x01, 0x03, 0x00}}, -1},
    };
    const uint32_t now = 0;
    for (const Case& c : cases) {
        TestServer server;
        ImageNetLink link;
        auto pump = [&] {
            link.poll(now);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        };
        ASSERT_TRUE(link.open("127.0.0.1", server.port));
        ASSERT_TRUE(server.accept(pump));
        for (const Bytes& read : c.reads) {
            server.connection.send(read);
            for (int i = 0; i < 20; ++i) pump();
        }
        uint8_t reply[8] = {};
        net::Endpoint from;
        long n = -1;
        auto replied = [&] { return (n = server.udp.receiveFrom(reply, from)) >= 0; };
        if (c.index < 0) {
            for (int i = 0; i < 50 && !replied(); ++i) pump();
            EXPECT_LT(n, 0) << c.reads.size() << " reads";
            continue;
        }
        test_support::pumpUntil(pump, replied);
        ASSERT_EQ(n, 4) << "index " << c.index;
        EXPECT_EQ(reply[0] | reply[1] << 8, 0xFFFE);
        EXPECT_EQ(reply[2] | reply[3] << 8, c.index);
    }
}

// The reply travels by UDP and may be lost: it is sent again every few seconds until the
// first picture shows it arrived.
TEST_F(NetLinkTest, ALostReplyIsSentAgainUntilAPictureComes) {
    const net::Endpoint client = registerLink();  // the first reply, lost as far as the server cares
    uint8_t reply[8] = {};
    net::Endpoint from;
    for (int i = 0; i < 20; ++i) pass();
    EXPECT_LT(server.udp.receiveFrom(reply, from), 0) << "not again before its time";
    now += NetLink::kRetryMs;
    long n = -1;
    passUntil([&] { return (n = server.udp.receiveFrom(reply, from)) >= 0; });
    ASSERT_EQ(n, 4);
    EXPECT_EQ(std::vector<uint8_t>(reply, reply + 4), (std::vector<uint8_t>{0xFE, 0xFF, 0x03, 0x00}));
    EXPECT_EQ(from, client) << "from the socket the pictures go to";

    server.udp.sendTo(picture(5), client);
    ASSERT_TRUE(passUntil([&] { return link.pictureReady; }));
    now += 2 * NetLink::kRetryMs;
    for (int i = 0; i < 50; ++i) pass();
    EXPECT_LT(server.udp.receiveFrom(reply, from), 0) << "registered: no more replies";
}

TEST_F(NetLinkTest, OnlyWholePicturesFromTheServersAddressAreKept) {
    const net::Endpoint client = registerLink();
    net::Socket stranger = net::Socket::udp();
    ASSERT_TRUE(stranger.bind(0, kOtherLoopback));
    net::Socket serverOtherPort = net::Socket::udp();
    ASSERT_TRUE(serverOtherPort.bind(0, kLoopback));

    server.udp.sendTo(picture(1, ImageNetLink::kPictureBytes - 1), client);
    server.udp.sendTo(picture(2, ImageNetLink::kPictureBytes + 1), client);
    stranger.sendTo(picture(3), client);
    for (int i = 0; i < 50; ++i) pass();
    EXPECT_FALSE(link.pictureReady);
    EXPECT_EQ(link.frameBuffer[0], 0);

    serverOtherPort.sendTo(picture(4), client);
    ASSERT_TRUE(passUntil([&] { return link.pictureReady; })) << "the source port is not checked";
    EXPECT_EQ(link.frameBuffer, picture(4));
}

// A flood is read in bounded passes; of the pictures read in one pass the newest wins.
TEST_F(NetLinkTest, AFloodIsReadSixtyFourDatagramsAPassAndTheNewestPictureWins) {
    const net::Endpoint client = registerLink();
    for (uint8_t i = 1; i <= 3; ++i) server.udp.sendTo(picture(i), client);
    ASSERT_TRUE(passUntil([&] { return link.pictureReady; }));
    EXPECT_EQ(link.frameBuffer[0], 3);

    // Small datagrams, so that the system's buffer holds them all.
    for (int i = 0; i < 100; ++i) server.udp.sendTo(picture(0, 8), client);
    std::vector<int> sockets;
    link.addSockets(sockets);
    const int udp = sockets.back();
    ASSERT_TRUE(net::socketsReady({&udp, 1}, 2000));
    link.poll(now);
    int left = 0;
    uint8_t buffer[16];
    while (::recv(udp, buffer, sizeof buffer, MSG_DONTWAIT) >= 0) ++left;
    EXPECT_EQ(left, 100 - ImageNetLink::kDatagramsPerPass);
}

TEST_F(NetLinkTest, PicturesStillArriveAfterTheServerClosesTheConnection) {
    const net::Endpoint client = registerLink();
    server.connection.close();
    ASSERT_TRUE(passUntil([&] { return !link.connectedToServer(); }));
    std::vector<int> sockets;
    link.addSockets(sockets);
    EXPECT_EQ(sockets.size(), 1u) << "only the UDP socket is left to wait on";
    server.udp.sendTo(picture(7), client);
    ASSERT_TRUE(passUntil([&] { return link.pictureReady; }));
    EXPECT_EQ(link.frameBuffer[0], 7);
}

TEST(NetLinkWithoutServer, ANeverStartedServerOrAnUnknownHostLeavesALinkThatWaits) {
    net::Socket probe = net::Socket::tcp();
    ASSERT_TRUE(probe.bind(0, kLoopback));
    const uint16_t unused = probe.local().port;
    probe.close();
    for (const char* host : {"127.0.0.1", "no-such-host.invalid"}) {
        ImageNetLink link;
        const uint32_t now = 0;
        ASSERT_TRUE(link.open(host, unused)) << host;
        for (int i = 0; i < 200 && link.connectedToServer(); ++i) {
            link.poll(now);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        EXPECT_FALSE(link.connectedToServer()) << host;
        EXPECT_FALSE(link.pictureReady) << host;
    }
}

// Beyond the link as first designed: a server that is not there yet, or that restarts, is
// connected to again within a few seconds and registered with anew.
TEST(NetLinkReconnects, ToAServerThatStartsLateAndAgainAfterItRestarts) {
    net::Socket probe = net::Socket::tcp();
    ASSERT_TRUE(probe.bind(0, kLoopback));
    const uint16_t port = probe.local().port;
    probe.close();
    ImageNetLink link;
    uint32_t now = 0;
    auto pass = [&] {
        link.poll(now);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    };
    testing::internal::CaptureStderr();
    ASSERT_TRUE(link.open("127.0.0.1", port));
    for (int tries = 0; tries < 3; ++tries) {
        for (int i = 0; i < 100; ++i) pass();
        now += NetLink::kRetryMs;
    }
    EXPECT_FALSE(link.connectedToServer()) << "nobody listens yet";
    for (const uint8_t index : {uint8_t{5}, uint8_t{6}}) {
        TestServer server(port);
        now += NetLink::kRetryMs;
        ASSERT_TRUE(server.accept(pass)) << "server " << int{index};
        const uint8_t registration[4] = {0xFF, 0xFF, index, 0x00};
        server.connection.send(registration);
        uint8_t reply[8] = {};
        net::Endpoint from;
        long n = -1;
        test_support::pumpUntil(pass, [&] { return (n = server.udp.receiveFrom(reply, from)) >= 0; });
        ASSERT_EQ(n, 4);
        EXPECT_EQ(reply[2], index) << "registered anew";
        server.connection.close();
        test_support::pumpUntil(pass, [&] { return !link.connectedToServer(); });
        EXPECT_FALSE(link.connectedToServer());
    }
    // Each change once, however many tries it took.
    const std::string prefix = "glassfalls: picture server 127.0.0.1:" + std::to_string(port) + ": ";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              prefix + "cannot connect (Connection refused); trying again every 3 seconds\n" + prefix +
                  "connected; registered as index 5\n" + prefix + "gone; trying again every 3 seconds\n" + prefix +
                  "connected; registered as index 6\n" + prefix + "gone; trying again every 3 seconds\n");
}

// From the socket to the floor: the received bytes are the ground's picture, red stays red.
class NetPictureOnTheGround : public test_support::RenderDeviceFixture {};

TEST_F(NetPictureOnTheGround, AReceivedPictureIsDrawnOnTheGround) {
    TestServer server;
    ImageNetLink link;
    const uint32_t now = 0;
    ASSERT_TRUE(link.open("127.0.0.1", server.port));
    auto pass = [&] {
        link.poll(now);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    };
    ASSERT_TRUE(server.accept(pass));
    const uint8_t registration[4] = {0xFF, 0xFF, 0x01, 0x00};
    server.connection.send(registration);
    uint8_t reply[8];
    net::Endpoint client;
    test_support::pumpUntil(pass, [&] { return server.udp.receiveFrom(reply, client) >= 0; });
    std::vector<uint8_t> red(ImageNetLink::kPictureBytes);
    for (size_t i = 0; i < red.size(); i += 3) red[i] = 220;
    server.udp.sendTo(red, client);
    test_support::pumpUntil(pass, [&] { return link.pictureReady; });
    ASSERT_TRUE(link.pictureReady);

    Ground ground;
    ground.init(*device);
    ground.showNetPicture(link.frameBuffer.data());
    device->setTransform(platform::gfx::TransformState::View, matrixLookAtLH({0, 64, -1}, {0, 0, 0}, {0, 1, 0}));
    device->clear(platform::gfx::clearFlags::Target | platform::gfx::clearFlags::ZBuffer, 0xFF000000u, 1.0f, 0);
    ASSERT_TRUE(device->beginScene());
    ground.draw(*device, 1.0f);
    device->endScene();
    const uint32_t centre = test_support::Frame(*device).at(320, 240);
    EXPECT_GT(test_support::red(centre), 50) << std::hex << centre;
    EXPECT_LT(test_support::green(centre), 10);
    EXPECT_LT(test_support::blue(centre), 10);
}

}  // namespace
}  // namespace glassfalls
