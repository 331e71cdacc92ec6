// The piece and the real picture server on loopback: the server is killed mid-run and started
// again with other pictures, and the ground shows them.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/file/WholeFile.h"
#include "platform/assets/Picture.h"
#include "platform/net/Socket.h"
#include "tests/support/Processes.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kLoopback = 0x0100007F;  // 127.0.0.1, network order
constexpr const char* kQuiet = " >/dev/null 2>&1";

fs::path shot(const fs::path& directory, int advance) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06d.png", advance);
    return directory / name;
}

// The screenshots are written in order, so the next one appearing means this one is whole.
bool waitForShot(const fs::path& directory, int advance, int every) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (!fs::exists(shot(directory, advance + every))) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void writeSolid(const fs::path& file, uint32_t colour) {
    platform::assets::Picture picture{128, 128, std::vector<uint32_t>(128 * 128, colour)};
    ASSERT_TRUE(platform::assets::writePngRgb(file.string(), picture));
}

// Red minus green in the middle of the ground, below the light falling from the top.
int redOverGreen(const fs::path& file) {
    std::vector<uint8_t> bytes;
    platform::assets::Picture picture;
    EXPECT_TRUE(platform::readWholeFile(file.string(), bytes) && platform::assets::decodePicture(bytes, picture)) << file;
    if (picture.texels.empty()) return 0;
    const uint32_t texel = picture.texels[360 * 640 + 320];
    return static_cast<int>(texel >> 16 & 0xFF) - static_cast<int>(texel >> 8 & 0xFF);
}

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

    pid_t serverPid = test_support::startProcess(server + (data.path / "red.png").string() + kQuiet);
    const pid_t piece = test_support::startProcess(std::string(GLASSFALLS_BINARY) +
                                                   " --headless --frames 700 --midi none --every 10 --data " +
                                                   data.path.string() + " --screenshots " + shots.string() + kQuiet);
    ASSERT_TRUE(waitForShot(shots, 200, 10));
    test_support::finishProcess(serverPid, SIGKILL);
    ASSERT_TRUE(waitForShot(shots, 300, 10));
    serverPid = test_support::startProcess(server + (data.path / "green.png").string() + kQuiet);
    EXPECT_EQ(test_support::finishProcess(piece, 0), 0);
    test_support::finishProcess(serverPid, SIGTERM);

    EXPECT_GT(redOverGreen(shot(shots, 200)), 60) << "the first server's picture";
    EXPECT_GT(redOverGreen(shot(shots, 300)), 60) << "kept while no server is there";
    EXPECT_LT(redOverGreen(shot(shots, 700)), -60) << "the second server's picture";
    fs::remove_all(shots);
}

}  // namespace
}  // namespace glassfalls
