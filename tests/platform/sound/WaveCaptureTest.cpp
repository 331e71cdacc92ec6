// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <span>

#include "performer/SpectrumAnalyser.h"
#include "platform/sound/WaveCapture.h"
#include "tests/performer/LoudestBin.h"
#include "tests/platform/sound/TestWav.h"
#include "tests/support/TempPath.h"

using namespace glassfalls;
namespace fs = std::filesystem;

namespace {

constexpr double kBin100Hz = 100 * 8000.0 / 1024.0;  // 781.25 Hz

int loudestBin(std::span<const int16_t> samples) {
    SpectrumAnalyser analyser;
    EXPECT_TRUE(analyser.init(1024));
    analyser.analyse(samples, 480.0f);
    return test_support::loudestListenedBin(analyser.levels);
}

}  // namespace

TEST(WavCapture, ConvertedBlocksArriveEveryHundredMillisecondsThenSilence) {
    const fs::path wav = test_support::tempPath("tone.wav");
    test_support::writeToneWav(wav.string(), 44100, 2, kBin100Hz, 0.25);
    auto opened = platform::openWavCapture(wav.string(), 1000);
    ASSERT_TRUE(opened) << opened.error();
    auto source = std::move(*opened);

    platform::MicrophoneBlock block{};
    EXPECT_EQ(source->nextBlockDue(), 1100u);
    EXPECT_FALSE(source->takeBlock(1099, block));
    ASSERT_TRUE(source->takeBlock(1100, block));
    EXPECT_EQ(loudestBin(block), 100);
    EXPECT_FALSE(source->takeBlock(1150, block));
    ASSERT_TRUE(source->takeBlock(1200, block));
    EXPECT_EQ(loudestBin(block), 100);
    // 0.25 s is 2000 samples: the third block holds 400 samples of tone, then silence.
    ASSERT_TRUE(source->takeBlock(1300, block));
    // (The resampler may shift the end by a few samples.)
    EXPECT_GT(*std::max_element(block.begin() + 360, block.begin() + 380), 1000);
    EXPECT_TRUE(std::all_of(block.begin() + 420, block.begin() + 800, [](int16_t s) { return s == 0; }));
    ASSERT_TRUE(source->takeBlock(1400, block));
    EXPECT_TRUE(std::all_of(block.begin(), block.begin() + 800, [](int16_t s) { return s == 0; }));
    fs::remove(wav);
}

TEST(WavCapture, MissingOrMalformedFilesAreRefusedWithTheirName) {
    const auto missing = platform::openWavCapture("/nonexistent/voice.wav", 0);
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("/nonexistent/voice.wav"), std::string::npos);

    const fs::path bad = test_support::tempPath("bad.wav");
    std::ofstream(bad) << "RIFF not really a wave file";
    const auto unreadable = platform::openWavCapture(bad.string(), 0);
    ASSERT_FALSE(unreadable);
    EXPECT_NE(unreadable.error().find(bad.string()), std::string::npos);
    fs::remove(bad);
}

TEST(WaveCapture, CollectsOneBlockAtATimeOnTheProgramsClock) {
    std::vector<int16_t> recorded(2400);
    for (size_t i = 0; i < recorded.size(); ++i) recorded[i] = static_cast<int16_t>(i + 1);
    platform::WaveCapture capture;
    capture.open(platform::makeClockedCapture(recorded, 0));

    platform::MicrophoneBlock block{};
    EXPECT_FALSE(capture.collect(99, block));
    ASSERT_TRUE(capture.collect(100, block));
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[799], 800);
    EXPECT_FALSE(capture.collect(150, block)) << "the next block is due at 200";
    EXPECT_EQ(capture.nextBlockDue(), 200u);
    ASSERT_TRUE(capture.collect(200, block));
    EXPECT_EQ(block[0], 801);
}

TEST(WaveCapture, WithoutASourceNothingArrives) {
    platform::WaveCapture capture;
    platform::MicrophoneBlock block{};
    EXPECT_FALSE(capture.collect(100000, block));
    capture.open(std::make_unique<platform::SilentCapture>());
    EXPECT_FALSE(capture.collect(100000, block));
    EXPECT_EQ(capture.nextBlockDue(), std::nullopt);
}
