#include "platform/midi/FluidSynthPort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "performer/Fft.h"

namespace glassfalls::platform {
namespace {

// The synthesiser with the system's General MIDI soundfont, rendering into memory.
class FluidSynthPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(synth.loadSoundfont(kDefaultSoundfont, error)) << error;
    }

    std::vector<float> render(int frames) {
        std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
        synth.render(left.data(), right.data(), frames);
        return left;
    }

    static double rms(const std::vector<float>& samples, size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
        return std::sqrt(sum / static_cast<double>(to - from));
    }

    FluidSynthPort synth;
};

TEST_F(FluidSynthPortTest, NoteSixtyNineSoundsAtFourHundredAndFortyHertz) {
    synth.shortMessage(0x90 | 69 << 8 | 100 << 16);
    const std::vector<float> sound = render(44100);
    // The strongest partial of an 8192-point spectrum from a quarter second in.
    constexpr int kPoints = 8192;
    std::vector<float> work(2 * kPoints);
    for (int i = 0; i < kPoints; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * i / kPoints);
        work[2 * static_cast<size_t>(i)] = static_cast<float>(sound[11025 + static_cast<size_t>(i)] * hann);
    }
    Fft fft;
    ASSERT_TRUE(fft.init(kPoints));
    fft.transform(work.data());
    int loudest = 1;
    float loudestMagnitude = 0;
    for (int k = 1; k < kPoints / 2; ++k) {
        const float m = std::hypot(work[2 * static_cast<size_t>(k)], work[2 * static_cast<size_t>(k) + 1]);
        if (m > loudestMagnitude) loudestMagnitude = m, loudest = k;
    }
    const double hertz = loudest * FluidSynthPort::kSampleRate / kPoints;
    EXPECT_NEAR(hertz, 440.0, 8.0);
}

TEST_F(FluidSynthPortTest, NoteOffSilencesTheNote) {
    synth.shortMessage(0x90 | 69 << 8 | 100 << 16);
    const std::vector<float> held = render(22050);
    const double sounding = rms(held, 0, held.size());
    ASSERT_GT(sounding, 0.01);
    synth.shortMessage(0x80 | 69 << 8 | 64 << 16);
    const std::vector<float> released = render(3 * 44100);
    EXPECT_LT(rms(released, released.size() - 4410, released.size()), sounding * 0.01);
}

TEST(SynthPort, AMissingSoundfontIsAClearError) {
    std::string error;
    EXPECT_EQ(openSynthPort("/nonexistent/font.sf2", false, error), nullptr);
    EXPECT_NE(error.find("/nonexistent/font.sf2"), std::string::npos) << error;
    EXPECT_NE(error.find("--soundfont"), std::string::npos) << error;
}

}  // namespace
}  // namespace glassfalls::platform
