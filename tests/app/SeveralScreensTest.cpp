// SPDX-License-Identifier: GPL-3.0-or-later
// Several machines showing one performance: a leader and followers, each a host of its own in
// a network namespace, on one multicast LAN (a bridge). Every follower must draw, byte for
// byte, the frames a single headless run from its side draws, whatever the network drops.
// As root only; where namespaces cannot be made the tests are skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/os/WholeFile.h"
#include "tests/app/RunProgram.h"
#include "tests/support/NetworkNamespace.h"
#include "tests/support/Processes.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempPath.h"

namespace glassfalls {
namespace {

namespace fs = std::filesystem;
using test_support::shell;

constexpr int kAdvances = 300;
constexpr int kEvery = 10;
constexpr const char* kGroup = "239.7.7.7:7400";

// The piece on the example melody, headless unless `how` says otherwise.
std::string pieceCommand(const std::string& arguments, const std::string& how = "--headless") {
    const fs::path source(GLASSFALLS_SOURCE_DIR);
    return std::string(GLASSFALLS_BINARY) + test_support::rendererArgument() + " " + how + " --data " +
           (source / "data").string() + " --melody " + (source / "examples/music.dat").string() + " " + arguments;
}

// A host of its own, gfhN at 10.203.0.1N, on the bridge gfbr, with multicast routed onto the
// LAN.
bool makeHost(int n) {
    const std::string host = "gfh" + std::to_string(n), link = "gfv" + std::to_string(n);
    return shell("ip netns add " + host) && shell("ip link add " + link + " type veth peer name eth0 netns " + host) &&
           shell("ip link set " + link + " master gfbr up") &&
           shell("ip -n " + host + " addr add 10.203.0.1" + std::to_string(n) + "/24 dev eth0") &&
           shell("ip -n " + host + " link set eth0 up") && shell("ip -n " + host + " link set lo up") &&
           shell("ip -n " + host + " route add 239.0.0.0/8 dev eth0");
}

// The host's incoming datagrams to the group's port, one in `oneIn` dropped at random.
bool dropOneIn(int n, int oneIn) {
    const std::string nft = "ip netns exec gfh" + std::to_string(n) + " nft ";
    return shell(nft + "add table inet t") &&
           shell(nft + "'add chain inet t in { type filter hook input priority 0; }'") &&
           shell(nft + "add rule inet t in udp dport 7400 numgen random mod " + std::to_string(oneIn) +
                 " == 0 counter drop");
}

// How many datagrams the host's rule dropped.
int dropped(int n) {
    const auto listed = test_support::runCommand("ip netns exec gfh" + std::to_string(n) + " nft list chain inet t in");
    const size_t at = listed.output.find("packets ");
    return at == std::string::npos ? -1 : std::stoi(listed.output.substr(at + 8));
}

// Whether both files are there and the same to the byte.
bool sameFiles(const fs::path& a, const fs::path& b) {
    std::vector<uint8_t> first, second;
    return platform::readWholeFile(a.string(), first) && platform::readWholeFile(b.string(), second) && first == second;
}

// A file's text; empty when it cannot be read.
std::string textOf(const fs::path& file) {
    std::vector<uint8_t> bytes;
    platform::readWholeFile(file.string(), bytes);
    return {bytes.begin(), bytes.end()};
}

// The screenshots in `folder` that are not byte for byte those in `reference`, named.
std::string differences(const fs::path& reference, const fs::path& folder) {
    std::string found;
    for (int advance = kEvery; advance <= kAdvances; advance += kEvery) {
        if (!sameFiles(test_support::screenshotPath(reference, advance), test_support::screenshotPath(folder, advance)))
            found += " " + std::to_string(advance);
    }
    return found.empty() ? found : folder.filename().string() + " differs at" + found + ";";
}

// Waits, in real time, until `done`; false after two minutes without.
bool waitUntil(const std::function<bool()>& done) {
    return test_support::pumpUntil([] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }, done,
                                   std::chrono::minutes(2));
}

// A leader and three followers at 90, 180 and 270 degrees. The first follower's network is
// clean; the other two lose one datagram in twenty on the way in, answers included.
TEST(SeveralScreens, ThreeFollowersDrawTheReferenceFramesWhateverTheNetworkDrops) {
    const fs::path folder = test_support::tempPath("several-screens");
    const std::vector<std::string> turns = {"90", "180", "270"};
    for (const auto& turn : turns) {
        const auto run = test_support::runCommand(pieceCommand("--frames " + std::to_string(kAdvances) +
                                                               " --view-turn " + turn + " --every 10 --screenshots " +
                                                               (folder / ("reference-" + turn)).string()));
        ASSERT_EQ(run.status, 0) << run.output;
    }
    const std::string answer = test_support::inNetworkNamespace([&]() -> std::string {
        fs::create_directories("/run/netns");
        if (mount("none", "/run/netns", "tmpfs", 0, nullptr) != 0) return "cannot mount /run/netns";
        if (!shell("ip link add gfbr type bridge mcast_snooping 0") || !shell("ip link set gfbr up"))
            return "cannot make the bridge";
        for (int n = 0; n <= 3; ++n)
            if (!makeHost(n)) return "cannot make host " + std::to_string(n);
        if (!dropOneIn(2, 20) || !dropOneIn(3, 20))
            return std::string(test_support::kSkipped) + "nftables cannot drop datagrams here";
        std::vector<pid_t> followers;
        for (size_t i = 0; i < turns.size(); ++i) {
            followers.push_back(test_support::startProcess(
                "ip netns exec gfh" + std::to_string(i + 1) + " timeout 300 " +
                pieceCommand("--frames " + std::to_string(kAdvances) + " --view-turn " + turns[i] + " --follow " +
                             kGroup + " --every 10 --screenshots " + (folder / ("follower-" + turns[i])).string()) +
                " 2>" + (folder / ("follower-" + turns[i] + ".log")).string()));
        }
        // Every follower hears from the first advance on (one that joined later would take the
        // piece from a snapshot, and write no screenshots before it).
        for (size_t i = 0; i < turns.size(); ++i) {
            const std::string listening = "ip netns exec gfh" + std::to_string(i + 1) + " ss -Hlun sport = :7400";
            if (!waitUntil([&] { return !test_support::runCommand(listening).output.empty(); }))
                return "follower " + turns[i] + " never listened";
        }
        const auto leader =
            test_support::runCommand("ip netns exec gfh0 timeout 300 " +
                                     pieceCommand("--frames " + std::to_string(kAdvances) + " --lead " + kGroup));
        std::string result =
            leader.status == 0 ? ""
                               : "the leader ended with " + std::to_string(leader.status) + ": " + leader.output + "; ";
        for (size_t i = 0; i < followers.size(); ++i) {
            const int status = test_support::finishProcess(followers[i], 0);
            if (status != 0) result += "follower " + turns[i] + " ended with " + std::to_string(status) + "; ";
        }
        // Three hundred advances are at least as many datagrams: one in twenty is about 15.
        for (int n : {2, 3})
            if (dropped(n) < 3) result += "host " + std::to_string(n) + " dropped " + std::to_string(dropped(n)) + "; ";
        return result;
    });
    if (answer.rfind(test_support::kSkipped, 0) == 0) GTEST_SKIP() << answer.substr(1);
    ASSERT_EQ(answer, "");
    for (const auto& turn : turns)
        EXPECT_EQ(differences(folder / ("reference-" + turn), folder / ("follower-" + turn)), "");
    fs::remove_all(folder);
}

// The process's exit status; -1 when it had to be killed after `limit`.
int finishWithin(pid_t child, std::chrono::steady_clock::duration limit) {
    int status = 0;
    const bool ended = test_support::pumpUntil([] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); },
                                               [&] { return waitpid(child, &status, WNOHANG) == child; }, limit);
    if (!ended) return test_support::finishProcess(child, SIGKILL), -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A follower given another melody than its leader's says so in one line and stops, status 1.
TEST(SeveralScreens, AFollowerOnAnotherDataSetSaysSoAndStops) {
    const fs::path melody = test_support::tempPath("other-music.dat");
    fs::copy_file(fs::path(GLASSFALLS_SOURCE_DIR) / "examples/music.dat", melody);
    std::ofstream(melody, std::ios::app) << "x\n";
    const std::string answer = test_support::inNetworkNamespace([&]() -> std::string {
        const pid_t leader = test_support::startProcess(
            std::string(test_support::kLiveOffScreen) + " timeout 60 " +
            pieceCommand("--frames 150 --lead 127.0.0.1:7431", "--windowed --midi none") + " 2>/dev/null");
        const auto follower = test_support::runCommand("timeout 60 " + pieceCommand("--follow 127.0.0.1:7431") +
                                                       " --melody " + melody.string());
        test_support::finishProcess(leader, SIGTERM);
        if (follower.status != 1) return "status " + std::to_string(follower.status) + ": " + follower.output;
        if (follower.output.find("runs on another data set") == std::string::npos) return follower.output;
        return "";
    });
    fs::remove(melody);
    if (answer.rfind(test_support::kSkipped, 0) == 0) GTEST_SKIP() << answer.substr(1);
    EXPECT_EQ(answer, "");
}

// Waits, in real time, until `file` exists; false after two minutes without.
bool waitFor(const fs::path& file) {
    return waitUntil([&] { return fs::exists(file); });
}

// The screenshots a follower wrote that are not its leader's of the same advance, and how
// many it wrote at all.
std::string differencesFromLeader(const fs::path& leader, const fs::path& follower, size_t& written) {
    std::string found;
    written = 0;
    for (const auto& entry : fs::directory_iterator(follower)) {
        ++written;
        if (!sameFiles(leader / entry.path().filename(), entry.path())) found += " " + entry.path().filename().string();
    }
    return found;
}

// A live leader, paced by the real clock: one follower killed at its 100th advance and
// started again at the leader's 150th, another started after the leader's 200th. Each draws
// the leader's frames from its first one on.
TEST(SeveralScreens, AFollowerRestartedOrStartedLateDrawsTheLeadersFramesFromItsFirst) {
    const fs::path folder = test_support::tempPath("late-followers");
    const std::string answer = test_support::inNetworkNamespace([&]() -> std::string {
        const pid_t leader = test_support::startProcess(
            std::string(test_support::kLiveOffScreen) + " timeout 300 " +
            pieceCommand("--frames 330 --lead 127.0.0.1:7421,127.0.0.1:7422 --every 10 --screenshots " +
                             (folder / "leader").string(),
                         "--windowed --midi none") +
            " 2>/dev/null");
        auto follower = [&](int port, const std::string& name) {
            return test_support::startProcess(pieceCommand("--follow 127.0.0.1:" + std::to_string(port) +
                                                           " --every 10 --screenshots " + (folder / name).string()) +
                                              " 2>" + (folder / (name + ".log")).string());
        };
        std::string result;
        fs::create_directories(folder);
        const pid_t first = follower(7421, "first");
        if (!waitFor(test_support::screenshotPath(folder / "first", 100))) result += "the first never drew 100; ";
        test_support::finishProcess(first, SIGKILL);
        if (!waitFor(test_support::screenshotPath(folder / "leader", 150))) result += "the leader never drew 150; ";
        const pid_t again = follower(7421, "again");
        if (!waitFor(test_support::screenshotPath(folder / "leader", 200))) result += "the leader never drew 200; ";
        const pid_t late = follower(7422, "late");
        if (test_support::finishProcess(leader, 0) != 0) result += "the leader failed; ";
        // A headless follower ends with its leader's last advance; one that did not is stopped.
        for (const auto& [pid, name] : {std::pair{again, "again"}, std::pair{late, "late"}}) {
            if (finishWithin(pid, std::chrono::minutes(1)) != 0) result += std::string(name) + " failed; ";
        }
        return result;
    });
    if (answer.rfind(test_support::kSkipped, 0) == 0) GTEST_SKIP() << answer.substr(1);
    ASSERT_EQ(answer, "");
    for (const char* name : {"first", "again", "late"}) {
        size_t written = 0;
        EXPECT_EQ(differencesFromLeader(folder / "leader", folder / name, written), "") << name;
        // Every tenth advance from where it began, to its 100th or the leader's 330th; however
        // long a start-up takes, that is several.
        EXPECT_GE(written, 5u) << name;
    }
    fs::remove_all(folder);
}

// A leader killed without a word is said once; the follower holds its frame and follows the
// next leader from its snapshot, drawing that leader's frames.
TEST(SeveralScreens, AFollowerWhoseLeaderVanishesFollowsTheNextOne) {
    const fs::path folder = test_support::tempPath("next-leader");
    const std::string answer = test_support::inNetworkNamespace([&]() -> std::string {
        fs::create_directories(folder);
        const fs::path log = folder / "follower.log";
        const pid_t follower = test_support::startProcess(
            pieceCommand("--follow 127.0.0.1:7441 --every 10 --screenshots " + (folder / "follower").string()) + " 2>" +
            log.string());
        // Started as the program itself, so that a kill reaches it (a kill to `timeout` would not).
        auto leader = [&](const std::string& arguments) {
            return test_support::startProcess(
                std::string(test_support::kLiveOffScreen) + " " +
                pieceCommand("--lead 127.0.0.1:7441 " + arguments, "--windowed --midi none") + " 2>/dev/null");
        };
        auto said = [&](const std::string& line) {
            return waitUntil([&] { return textOf(log).find(line) != std::string::npos; });
        };
        std::string result;
        const pid_t first = leader("");
        if (!waitFor(test_support::screenshotPath(folder / "follower", 30))) result += "nothing followed; ";
        test_support::finishProcess(first, SIGKILL);
        if (!said("has gone quiet; holding the last frame")) result += "the vanished leader was not said; ";
        const pid_t next = leader("--frames 60 --every 10 --screenshots " + (folder / "next").string());
        if (test_support::finishProcess(next, 0) != 0) result += "the next leader failed; ";
        // A headless follower ends with its leader's last advance.
        if (finishWithin(follower, std::chrono::minutes(1)) != 0) result += "the follower did not end with it; ";
        const std::string lines = textOf(log);
        if (lines.find("gone quiet") != lines.rfind("gone quiet")) result += "said twice: " + lines;
        if (lines.find("took the piece from the leader") == std::string::npos) result += "no snapshot: " + lines;
        return result;
    });
    if (answer.rfind(test_support::kSkipped, 0) == 0) GTEST_SKIP() << answer.substr(1);
    ASSERT_EQ(answer, "");
    // The next leader's frames, each written again by the follower.
    for (int advance = 10; advance <= 60; advance += 10) {
        EXPECT_TRUE(sameFiles(test_support::screenshotPath(folder / "next", advance),
                              test_support::screenshotPath(folder / "follower", advance)))
            << "advance " << advance;
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace glassfalls
