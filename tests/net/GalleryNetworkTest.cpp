// SPDX-License-Identifier: GPL-3.0-or-later
// The picture link and the picture server on networks that fail the way gallery networks do:
// a name server that never answers, a server machine that vanishes without a word, a link
// slower than loopback. Each runs in network namespaces of its own, as root; where those
// cannot be made the test is skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "net/ImageNetLink.h"
#include "platform/assets/Picture.h"
#include "platform/net/Socket.h"
#include "tests/app/RunProgram.h"
#include "tests/support/NetworkNamespace.h"
#include "tests/support/Processes.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test_support::shell;

constexpr uint16_t kPort = 4000;

// The body's empty answer passes; an answer starting with kSkipped skips with its reason.
#define RUN_IN_NAMESPACE(...)                                                               \
    do {                                                                                    \
        const std::string answer = test_support::inNetworkNamespace(__VA_ARGS__);           \
        if (answer.rfind(test_support::kSkipped, 0) == 0) GTEST_SKIP() << answer.substr(1); \
        EXPECT_EQ(answer, "");                                                              \
    } while (0)

std::string server(const std::string& arguments) {
    return std::string(GLASSFALLS_PICTURE_SERVER) + " --port " + std::to_string(kPort) + " --rate 10 " + arguments +
           " >/dev/null 2>&1";
}

// Milliseconds of real time since `start`, as the piece's clock counts them.
uint32_t since(Clock::time_point start) {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Pumps the links as the piece's loop would, with a real clock, until `done` or `limit`.
bool pumpUntil(std::vector<std::unique_ptr<ImageNetLink>>& links, Clock::time_point start, Clock::duration limit,
               const std::function<bool()>& done) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end) return false;
        for (auto& link : links) link->poll(since(start));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A host of its own at 10.201.0.2, linked to this one (10.201.0.1) by a veth pair, running
// the picture server. Deleting the pair cuts the host off without a word to anybody.
bool startServerHost(const std::string& name, const std::string& link, const std::string& pictures, pid_t& pid) {
    const bool made = shell("ip netns add " + name) &&
                      shell("ip link add " + link + " type veth peer name " + link + "p netns " + name) &&
                      shell("ip addr add 10.201.0.1/24 dev " + link) && shell("ip link set " + link + " up") &&
                      shell("ip -n " + name + " addr add 10.201.0.2/24 dev " + link + "p") &&
                      shell("ip -n " + name + " link set " + link + "p up") &&
                      shell("ip -n " + name + " link set lo up");
    if (!made) return false;
    pid = test_support::startProcess("ip netns exec " + name + " " +
                                     server("--listen 10.201.0.2 --pictures " + pictures));
    return true;
}

void writeSolid(const fs::path& file, uint32_t colour) {
    ASSERT_TRUE(platform::assets::writePngRgb(file.string(), {128, 128, std::vector<uint32_t>(128 * 128, colour)}));
}

// A name server that never answers: each lookup waits out the resolver's timeout. The link
// returns at once while its lookup is under way; the piece goes on drawing meanwhile, says
// once that it cannot find the host, and is not held up at the end by a lookup under way.
TEST(GalleryNetwork, ANameServerThatNeverAnswersHoldsUpNoFrame) {
    test_support::TestDataDirectory data;
    std::ofstream(data.path / "glassFalls.ini") << "[IP]\npictures.gallery.test\n[Port]\n4000\n";
    const fs::path resolvConf = test_support::tempPath("resolv.conf");
    auto resolverGivesUpAfter = [&](int seconds) {
        std::ofstream(resolvConf) << "nameserver 127.0.0.1\noptions timeout:" << seconds << " attempts:1\n";
    };
    resolverGivesUpAfter(2);
    RUN_IN_NAMESPACE([&]() -> std::string {
        if (mount(resolvConf.c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0)
            return "cannot mount resolv.conf";
        // Bound and never read: the queries arrive and nothing answers.
        platform::net::Socket nameServer = platform::net::Socket::udp();
        if (!nameServer.bind(53, 0x0100007F)) return "cannot bind the silent name server";
        const std::string line =
            "glassfalls: picture server pictures.gallery.test:4000: cannot find the host; "
            "trying again every 3 seconds\n";
        {
            std::vector<std::unique_ptr<ImageNetLink>> links;
            links.push_back(std::make_unique<ImageNetLink>());
            testing::internal::CaptureStderr();
            EXPECT_TRUE(links[0]->open("pictures.gallery.test", kPort));
            links[0]->poll(0);
            // Back before the name server could have been given up on: the lookup is under way.
            const std::string early = testing::internal::GetCapturedStderr();
            if (!early.empty()) return "the link waited for its lookup: " + early;
            testing::internal::CaptureStderr();
            pumpUntil(links, Clock::now(), std::chrono::seconds(4), [] { return false; });
            if (testing::internal::GetCapturedStderr() != line) return "the failed lookup was not said once";
        }
        // On the real clock sixty title frames take at least 60 x 76 ms = 4.6 s whatever the
        // machine's speed, so the first lookup fails (2 s) during the run and the next ones
        // (every 3 s after) are under way or done; a slower machine only lengthens the run.
        const auto live = test_support::runProgram("--windowed --frames 60 --midi none --data " + data.path.string(),
                                                   std::string(test_support::kLiveOffScreen) + " timeout 120");
        if (live.status != 0) return "exit status " + std::to_string(live.status) + ": " + live.output;
        const size_t first = live.output.find(line);
        if (first == std::string::npos) return "not said: " + live.output;
        if (live.output.find(line, first + 1) != std::string::npos) return "said twice: " + live.output;
        // Now a lookup outlasts the whole run: a piece that waited for it at the end would
        // be 30 s late and stopped by the timeout, long after a run of five frames is over.
        resolverGivesUpAfter(30);
        const auto quick =
            test_support::runProgram("--headless --frames 5 --midi none --data " + data.path.string(), "timeout 20");
        if (quick.status != 0) return "the exit waited for the lookup: status " + std::to_string(quick.status);
        return "";
    });
    fs::remove(resolvConf);
}

// The server's machine vanishes: its link is deleted, nothing is closed. A new server comes
// up at the same address, and its pictures reach the piece well within 20 s.
TEST(GalleryNetwork, AVanishedServerIsNoticedAndItsSuccessorServes) {
    const fs::path red = test_support::tempPath("red.png"), green = test_support::tempPath("green.png");
    writeSolid(red, 0xFFDC0000u);
    writeSolid(green, 0xFF00DC00u);
    RUN_IN_NAMESPACE([&]() -> std::string {
        // The hosts' names live on a file system of this namespace's own, and go with it.
        fs::create_directories("/run/netns");
        if (mount("none", "/run/netns", "tmpfs", 0, nullptr) != 0) return "cannot mount /run/netns";
        std::vector<std::unique_ptr<ImageNetLink>> links;
        links.push_back(std::make_unique<ImageNetLink>());
        ImageNetLink& link = *links.back();
        pid_t first = 0, second = 0;
        if (!startServerHost("gfserver1", "gfa", red.string(), first)) return "cannot make the first server's host";
        const auto start = Clock::now();
        EXPECT_TRUE(link.open("10.201.0.2", kPort));
        std::string result;
        if (!pumpUntil(links, start, std::chrono::seconds(10), [&] { return link.frameBuffer[0] == 220; })) {
            result = "no red picture from the first server";
        } else if (!shell("ip link del gfa") || !startServerHost("gfserver2", "gfb", green.string(), second)) {
            result = "cannot replace the server's host";
        } else if (!pumpUntil(links, start, std::chrono::seconds(20), [&] { return link.frameBuffer[1] == 220; })) {
            result = "no green picture from the second server within 20 s";
        }
        test_support::finishProcess(first, SIGTERM);
        test_support::finishProcess(second, SIGTERM);
        return result;
    });
    fs::remove(red);
    fs::remove(green);
}

// Ten pieces at ten pictures a second over a link shaped to 100 Mbit: sent back to back the
// later clients got nothing; paced, each gets at least nine in ten.
TEST(GalleryNetwork, TenClientsOnAHundredMegabitLinkEachGetTheirPictures) {
    RUN_IN_NAMESPACE([&]() -> std::string {
        if (!shell("tc qdisc add dev lo root tbf rate 100mbit burst 64kb latency 200ms")) {
            return std::string(test_support::kSkipped) + "links cannot be shaped here (tc, sch_tbf)";
        }
        const pid_t serverPid = test_support::startProcess(server("--listen 127.0.0.1"));
        std::vector<std::unique_ptr<ImageNetLink>> links;
        for (int i = 0; i < 10; ++i) links.push_back(std::make_unique<ImageNetLink>());
        const auto start = Clock::now();
        std::string result;
        for (auto& link : links) EXPECT_TRUE(link->open("127.0.0.1", kPort));
        auto allReceiving = [&] {
            for (auto& link : links) {
                if (link->picturesReceived == 0) return false;
            }
            return true;
        };
        if (!pumpUntil(links, start, std::chrono::seconds(10), allReceiving)) {
            result = "not every client was served";
        } else {
            std::vector<uint64_t> before;
            for (auto& link : links) before.push_back(link->picturesReceived);
            pumpUntil(links, start, std::chrono::seconds(10), [] { return false; });
            for (size_t i = 0; i < links.size(); ++i) {
                const uint64_t got = links[i]->picturesReceived - before[i];
                if (got < 90) result += "client " + std::to_string(i) + " got " + std::to_string(got) + " of 100; ";
            }
        }
        test_support::finishProcess(serverPid, SIGTERM);
        return result;
    });
}

}  // namespace
}  // namespace glassfalls
