// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <vector>

#include "performer/Fft.h"
#include "platform/os/Clock.h"
#include "platform/synth/FluidSynthPort.h"

namespace glassfalls::platform {
namespace {

// The synthesiser with the system's General MIDI soundfont, rendering into memory.
class FluidSynthPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto loaded = synth.loadSoundfont(kDefaultSoundfont);
        ASSERT_TRUE(loaded) << loaded.error();
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

// An audio output the test plays block by block; unplugging it ends its blocks and refuses
// new ones, and its close waits on `release` (a thread that hangs in the sound server).
struct ScriptedAudio {
    struct Output final : AudioOutput {
        explicit Output(std::shared_future<void> release) : release_(std::move(release)) {}
        ~Output() override { release_.wait(); }
        std::shared_future<void> release_;
    };

    AudioOutputOpener opener() {
        return [this](std::shared_ptr<RenderTap> tap) -> Expected<std::unique_ptr<AudioOutput>> {
            ++opens;
            if (unplugged) return failure("no such device");
            current = std::move(tap);
            return std::make_unique<Output>(release);
        };
    }
    // The loudness of what the current output plays over `frames`.
    double play(int frames) {
        std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
        double sum = 0;
        for (int done = 0; done < frames; done += 64) {
            current->play(std::min(64, frames - done), left.data() + done, right.data() + done);
        }
        for (float sample : left) sum += static_cast<double>(sample) * sample;
        return std::sqrt(sum / frames);
    }

    bool unplugged = false;
    int opens = 0;
    std::shared_ptr<RenderTap> current;
    std::promise<void> released;
    std::shared_future<void> release = released.get_future().share();
};

// The sound server starts after the piece, goes away with a note held and comes back: the
// note is not heard again, notes sent meanwhile are dropped, and the first note after is
// heard. Closing the dead output hangs until the end of the test, and no frame waits for it.
TEST(SynthPort, AnAudioOutputThatGoesAwayIsOpenedAgainWhenItIsBack) {
    ScriptedAudio audio;
    VirtualClock clock;
    FluidSynthPort synth;
    const auto loaded = synth.loadSoundfont(kDefaultSoundfont);
    ASSERT_TRUE(loaded) << loaded.error();
    audio.unplugged = true;
    const auto started = synth.startAudio(audio.opener(), clock);
    ASSERT_FALSE(started);
    EXPECT_EQ(started.error(), "no such device");
    audio.unplugged = false;
    testing::internal::CaptureStderr();
    clock.advance(WatchedAudioOutput::kRetryMs);
    synth.flush();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "glassfalls: the built-in synthesiser's audio output is back\n");
    synth.shortMessage(0x90 | 69 << 8 | 100 << 16);
    const double held = audio.play(4410);
    ASSERT_GT(held, 0.01);
    synth.flush();

    audio.unplugged = true;
    testing::internal::CaptureStderr();
    clock.advance(WatchedAudioOutput::kStallMs - 1);
    synth.flush();
    clock.advance(1);
    synth.flush();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "glassfalls: the built-in synthesiser's audio output is gone; its notes are dropped until it is back\n");
    EXPECT_EQ(audio.play(64), 0.0) << "the old output's late blocks are silent";
    synth.shortMessage(0x90 | 72 << 8 | 100 << 16);
    clock.advance(WatchedAudioOutput::kRetryMs);
    synth.flush();
    EXPECT_EQ(audio.opens, 3) << "tried again while the server was away";

    audio.unplugged = false;
    testing::internal::CaptureStderr();
    clock.advance(WatchedAudioOutput::kRetryMs);
    synth.flush();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "glassfalls: the built-in synthesiser's audio output is back\n");
    // What remains is the reverberation's tail.
    EXPECT_LT(audio.play(4410), held / 10) << "neither the held note nor the one sent while gone sounds";
    synth.shortMessage(0x90 | 74 << 8 | 100 << 16);
    EXPECT_GT(audio.play(4410), held / 2);
    audio.released.set_value();
}

TEST(SynthPort, AMissingSoundfontIsAClearError) {
    FluidSynthPort synth;
    const auto loaded = synth.loadSoundfont("/nonexistent/font.sf2");
    ASSERT_FALSE(loaded);
    EXPECT_NE(loaded.error().find("/nonexistent/font.sf2"), std::string::npos) << loaded.error();
    EXPECT_NE(loaded.error().find("--soundfont"), std::string::npos) << loaded.error();
}

}  // namespace
}  // namespace glassfalls::platform
