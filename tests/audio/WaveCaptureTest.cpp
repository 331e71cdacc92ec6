#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "audio/WaveCapture.h"
#include "performer/SpectrumAnalyser.h"
#include "tests/audio/TestWav.h"
#include "tests/performer/LoudestBin.h"
#include "tests/support/TempPath.h"

using namespace glassfalls;
namespace fs = std::filesystem;

namespace {

constexpr double kBin100Hz = 100 * 8000.0 / 1024.0;  // 781.25 Hz

int loudestBin(const int16_t* samples) {
    SpectrumAnalyser analyser;
    analyser.init(1024);
    analyser.analyse(samples, 480.0f);
    return test_support::loudestListenedBin(analyser);
}

}  // namespace

TEST(WavCapture, ConvertedBlocksArriveEveryHundredMillisecondsThenSilence) {
    const fs::path wav = test_support::tempPath("tone.wav");
    test_support::writeToneWav(wav.string(), 44100, 2, kBin100Hz, 0.25);
    std::string error;
    auto source = platform::openWavCapture(wav.string(), 1000, error);
    ASSERT_TRUE(source) << error;

    std::vector<int16_t> block(1024, 0);
    EXPECT_EQ(source->nextBlockDue(), 1100u);
    EXPECT_FALSE(source->takeBlock(1099, block.data()));
    ASSERT_TRUE(source->takeBlock(1100, block.data()));
    EXPECT_EQ(loudestBin(block.data()), 100);
    EXPECT_FALSE(source->takeBlock(1150, block.data()));
    ASSERT_TRUE(source->takeBlock(1200, block.data()));
    EXPECT_EQ(loudestBin(block.data()), 100);
    // 0.25 s is 2000 samples: the third block holds 400 samples of tone, then silence.
    ASSERT_TRUE(source->takeBlock(1300, block.data()));
    // (The resampler may shift the end by a few samples.)
    EXPECT_GT(*std::max_element(block.begin() + 360, block.begin() + 380), 1000);
    EXPECT_TRUE(std::all_of(block.begin() + 420, block.begin() + 800, [](int16_t s) { return s == 0; }));
    ASSERT_TRUE(source->takeBlock(1400, block.data()));
    EXPECT_TRUE(std::all_of(block.begin(), block.begin() + 800, [](int16_t s) { return s == 0; }));
    fs::remove(wav);
}

TEST(WavCapture, MissingOrMalformedFilesAreRefusedWithTheirName) {
    std::string error;
    EXPECT_FALSE(platform::openWavCapture("/nonexistent/voice.wav", 0, error));
    EXPECT_NE(error.find("/nonexistent/voice.wav"), std::string::npos);

    const fs::path bad = test_support::tempPath("bad.wav");
    std::ofstream(bad) << "RIFF not really a wave file";
    error.clear();
    EXPECT_FALSE(platform::openWavCapture(bad.string(), 0, error));
    EXPECT_NE(error.find(bad.string()), std::string::npos);
    fs::remove(bad);
}

TEST(WaveCapture, HandOverCopiesOneBlockAndLeavesTheRestOfTheSampleArea) {
    std::vector<int16_t> recorded(2400);
    for (size_t i = 0; i < recorded.size(); ++i) recorded[i] = static_cast<int16_t>(i + 1);
    WaveCapture capture;
    capture.open(platform::makeClockedCapture(recorded, 0));

    std::array<uint8_t, 3200> micSamples;
    micSamples.fill(0xAB);
    EXPECT_FALSE(capture.collect(99));
    ASSERT_TRUE(capture.collect(100));
    // The buffer is with the program until its hand-over: nothing more is collected.
    EXPECT_FALSE(capture.collect(200));
    EXPECT_EQ(capture.nextBlockDue(), std::nullopt);
    capture.handOver(micSamples.data());
    int16_t first[800];
    std::memcpy(first, micSamples.data(), sizeof first);
    EXPECT_EQ(first[0], 1);
    EXPECT_EQ(first[799], 800);
    EXPECT_TRUE(std::all_of(micSamples.begin() + 1600, micSamples.end(), [](uint8_t b) { return b == 0xAB; }));

    ASSERT_TRUE(capture.collect(200));
    capture.handOver(micSamples.data());
    std::memcpy(first, micSamples.data(), sizeof first);
    EXPECT_EQ(first[0], 801);
}

TEST(WaveCapture, WithoutASourceNothingArrives) {
    WaveCapture capture;
    EXPECT_FALSE(capture.collect(100000));
    capture.open(std::make_unique<platform::SilentCapture>());
    EXPECT_FALSE(capture.collect(100000));
    EXPECT_EQ(capture.nextBlockDue(), std::nullopt);
}
