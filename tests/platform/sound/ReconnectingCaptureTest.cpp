// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>

#include "platform/sound/ReconnectingCapture.h"

namespace glassfalls::platform {
namespace {

// A microphone that delivers a block on every call until it is unplugged.
class ScriptedMicrophone final : public CaptureSource {
public:
    explicit ScriptedMicrophone(const bool& unplugged) : unplugged_(unplugged) {}
    bool takeBlock(uint32_t, MicrophoneBlock& block) override {
        if (unplugged_) return false;
        block[0] = 7;
        return true;
    }
    bool lost() const override { return unplugged_; }

private:
    const bool& unplugged_;
};

// Unplugged: silence, said once, tries again every two seconds; plugged back: heard again.
TEST(ReconnectingCapture, AMicrophoneUnpluggedAndPluggedBackIsHeardAgain) {
    bool unplugged = false;
    int opens = 0;
    auto open = [&]() -> Expected<std::unique_ptr<CaptureSource>> {
        ++opens;
        if (unplugged) return failure("no such device");
        return std::make_unique<ScriptedMicrophone>(unplugged);
    };
    ReconnectingCapture capture(open, std::make_unique<ScriptedMicrophone>(unplugged), 0);
    std::array<int16_t, kBlockSamples> block{};
    EXPECT_TRUE(capture.takeBlock(100, block));

    unplugged = true;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(capture.takeBlock(200, block));
    EXPECT_FALSE(capture.takeBlock(1000, block));
    EXPECT_EQ(opens, 0) << "not before two seconds have passed";
    EXPECT_FALSE(capture.takeBlock(2200, block));
    EXPECT_EQ(opens, 1);
    const std::string gone = testing::internal::GetCapturedStderr();
    EXPECT_EQ(gone, "glassfalls: the microphone is gone; running on silence until it is back\n");

    unplugged = false;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(capture.takeBlock(3000, block)) << "the next try is due at 4200";
    EXPECT_TRUE(capture.takeBlock(4200, block));
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(block[0], 7);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "glassfalls: the microphone is back\n");
}

// Missing at start-up: the piece listens as soon as one is plugged in.
TEST(ReconnectingCapture, AMicrophoneMissingAtStartIsOpenedWhenItArrives) {
    bool unplugged = true;
    auto open = [&]() -> Expected<std::unique_ptr<CaptureSource>> {
        if (unplugged) return failure("no such device");
        return std::make_unique<ScriptedMicrophone>(unplugged);
    };
    ReconnectingCapture capture(open, nullptr, 0);
    std::array<int16_t, kBlockSamples> block{};
    EXPECT_FALSE(capture.takeBlock(2000, block));
    unplugged = false;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(capture.takeBlock(4000, block));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(capture.listening());
}

}  // namespace
}  // namespace glassfalls::platform
