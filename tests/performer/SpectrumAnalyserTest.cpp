// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "performer/SpectrumAnalyser.h"
#include "tests/performer/LoudestBin.h"

using namespace glassfalls;

namespace {

std::vector<int16_t> sineAtBin(double bin, double amplitude, size_t length = 1024) {
    std::vector<int16_t> s(1024, 0);
    for (size_t i = 0; i < length; ++i) {
        s[i] =
            static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * bin * static_cast<double>(i) / 1024.0)));
    }
    return s;
}

class SpectrumAnalyserTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(analyser.init(1024)); }
    SpectrumAnalyser analyser;
};

}  // namespace

TEST_F(SpectrumAnalyserTest, SilenceSitsAtTheFloorInEveryBin) {
    const std::vector<int16_t> zeros(1024, 0);
    analyser.analyse(zeros, 480.0f);
    for (int k = 0; k < 512; ++k) EXPECT_EQ(analyser.levels[static_cast<size_t>(k)], 480.0f) << k;
}

TEST_F(SpectrumAnalyserTest, FullScaleSineAtABinCentre) {
    const auto tone = sineAtBin(64, 32767);
    analyser.analyse(tone, 480.0f);
    EXPECT_NEAR(analyser.levels[64], 6.02f, 0.01f);
    // The Hann window spreads half the magnitude into each neighbour: 12 dB further down.
    EXPECT_NEAR(analyser.levels[63], 18.06f, 0.01f);
    EXPECT_NEAR(analyser.levels[65], 18.06f, 0.01f);
    // Far bins hold only rounding noise.
    EXPECT_GT(analyser.levels[200], 150.0f);
}

TEST_F(SpectrumAnalyserTest, LoudestBinOfAMicrophoneBlockIsTheTone) {
    // A real block is 800 samples followed by silence; the peak must stay where the tone is.
    for (int bin : {60, 75, 100, 123, 139}) {
        const auto tone = sineAtBin(bin, 8000, 800);
        analyser.analyse(tone, 480.0f);
        EXPECT_EQ(test_support::loudestListenedBin(analyser.levels), bin);
    }
}

TEST_F(SpectrumAnalyserTest, NoLevelEverExceedsTheFloor) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    std::vector<int16_t> noise(1024);
    for (float floor : {480.0f, 40.0f, 0.0f}) {
        for (int round = 0; round < 20; ++round) {
            for (auto& s : noise) s = static_cast<int16_t>(sample(random) >> (round % 16));
            analyser.analyse(noise, floor);
            for (int k = 0; k < 512; ++k) ASSERT_LE(analyser.levels[static_cast<size_t>(k)], floor);
        }
    }
}

TEST(Fft, MatchesADirectTransform) {
    Fft fft;
    ASSERT_TRUE(fft.init(16));
    EXPECT_FALSE(Fft().init(12));
    std::vector<float> data(32);
    for (size_t i = 0; i < 16; ++i) {
        data[2 * i] = static_cast<float>(std::cos(static_cast<double>(i) * 1.3) * 5);
        data[2 * i + 1] = static_cast<float>(static_cast<double>(i % 3) - 1.0);
    }
    const std::vector<float> input = data;
    fft.transform(data.data());
    for (size_t k = 0; k < 16; ++k) {
        double re = 0, im = 0;
        for (size_t j = 0; j < 16; ++j) {
            const double a = -2.0 * M_PI * static_cast<double>(j * k) / 16.0;
            re += input[2 * j] * std::cos(a) - input[2 * j + 1] * std::sin(a);
            im += input[2 * j] * std::sin(a) + input[2 * j + 1] * std::cos(a);
        }
        EXPECT_NEAR(data[2 * k], re, 1e-4) << k;
        EXPECT_NEAR(data[2 * k + 1], im, 1e-4) << k;
    }
}
