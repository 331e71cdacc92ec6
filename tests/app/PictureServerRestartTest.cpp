// SPDX-License-Identifier: GPL-3.0-or-later
// The piece and the real picture server on loopback: the server is killed mid-run and started
// again with other pictures, and the ground shows them.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "platform/assets/Picture.h"
#include "platform/net/Socket.h"
#include "tests/app/RunProgram.h"
#include "tests/platform/sound/TestWav.h"
#include "tests/support/Processes.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1, network order
constexpr const char* kQuiet = " >/dev/null 2>&1";

void writeSolid(const fs::path& file, uint32_t colour) {
    platform::assets::Picture picture{128, 128, std::vector<uint32_t>(128 * 128, colour)};
    ASSERT_TRUE(platform::assets::writePngRgb(file.string(), picture));
}

// Red minus green in the middle of the ground, below the light falling from the top.
int redOverGreen(const fs::path& file) {
    const platform::assets::Picture picture = test_support::readPicture(file);
    if (picture.texels.empty()) return 0;
    const uint32_t texel = picture.texels[360 * 640 + 320];
    return static_cast<int>(texel >> 16 & 0xFF) - static_cast<int>(texel >> 8 & 0xFF);
}

// Follows the screenshots of a running piece as they are written, in order; the next one
// appearing means this one is whole.
class ShotWatcher {
public:
    ShotWatcher(fs::path directory, int every) : directory_(std::move(directory)), every_(every) {}

    // Red minus green of the next whole shot; nothing when none comes within three minutes.
    std::optional<int> next() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
        while (!fs::exists(test_support::screenshotPath(directory_, advance_ + every_))) {
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        advance_ += every_;
        return redOverGreen(test_support::screenshotPath(directory_, advance_ - every_));
    }

    // Whether a shot from here on satisfies `wanted`.
    bool waitFor(const std::function<bool(int redOverGreen)>& wanted) {
        for (std::optional<int> difference = next(); difference; difference = next()) {
            if (wanted(*difference)) return true;
        }
        return false;
    }

private:
    fs::path directory_;
    int every_;
    int advance_ = every_;
};

// The run is paced by the real clock, as in a gallery, and each step waits for what the
// ground shows rather than for a frame number: how many frames pass while the server is
// killed, started again and reconnected to does not decide the outcome.
TEST(PictureServerRestart, PicturesResumeOnTheGroundWhenAKilledServerIsStartedAgain) {
    test_support::TestDataDirectory data;
    writeSolid(data.path / "red.png", 0xFFE00000u);
    writeSolid(data.path / "green.png", 0xFF00E000u);
    platform::net::Socket probe = platform::net::Socket::tcp();
    ASSERT_TRUE(probe.bind(0, kLoopback));
    const std::string port = std::to_string(probe.local().port);
    probe.close();
    std::ofstream(data.path / "glassFalls.ini") << "[IP]\n127.0.0.1\n[Port]\n" << port << "\n";
    const fs::path shots = test_support::tempPath("restart-shots");
    const std::string server = std::string(GLASSFALLS_PICTURE_SERVER) + " --port " + port + " --rate 50 --pictures ";
    constexpr int kEvery = 5;
    auto red = [](int difference) { return difference > 60; };

    const fs::path silence = data.path / "silence.wav";
    test_support::writeWav(silence.string(), 8000, 1, std::vector<int16_t>(800, 0));
    pid_t serverPid = test_support::startProcess(server + (data.path / "red.png").string() + kQuiet);
    const pid_t piece = test_support::startProcess(
        std::string(test_support::kLiveOffScreen) + " " + GLASSFALLS_BINARY +
        " --windowed --frames 100000000 --midi none --audio-file " + silence.string() + " --every " +
        std::to_string(kEvery) + " --data " + data.path.string() + " --screenshots " + shots.string() + kQuiet);
    ShotWatcher watcher(shots, kEvery);
    EXPECT_TRUE(watcher.waitFor(red)) << "the first server's picture";
    test_support::finishProcess(serverPid, SIGKILL);
    // Two seconds of frames with no server: the picture stays.
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> difference = watcher.next();
        EXPECT_TRUE(difference && red(*difference)) << "kept while no server is there";
    }
    serverPid = test_support::startProcess(server + (data.path / "green.png").string() + kQuiet);
    EXPECT_TRUE(watcher.waitFor([](int difference) { return difference < -60; })) << "the second server's picture";
    EXPECT_EQ(test_support::finishProcess(piece, SIGTERM), 0);
    test_support::finishProcess(serverPid, SIGTERM);
    fs::remove_all(shots);
}

}  // namespace
}  // namespace glassfalls
