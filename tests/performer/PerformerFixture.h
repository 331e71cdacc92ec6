// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "performer/Performer.h"
#include "tests/performer/TestSurroundings.h"
#include "tests/platform/sound/RecordingMidiPort.h"
#include "tests/support/TempPath.h"

namespace glassfalls::test_support {

// A performer in surroundings of its own, with real hearing and a real ripple pool and
// a MIDI output that records: no application, no window, no drawing device.
class PerformerFixture : public ::testing::Test {
protected:
    struct Note {
        int band, level, duration;
    };

    void TearDown() override {
        if (!scoreFile.empty()) std::filesystem::remove(scoreFile);
    }

    // Listening to the microphone (no melody file).
    void initListening() { ASSERT_TRUE(performer.init(&world, 288, "/nonexistent/music.dat")); }

    // Following a melody of (band, level, duration) entries.
    void initWithScore(const std::vector<Note>& notes) {
        scoreFile = tempPath("performer.dat").string();
        std::ofstream out(scoreFile);
        for (const Note& n : notes) out << "step\n" << n.band << "\n" << n.level << "\n" << n.duration << "\n";
        out.close();
        ASSERT_TRUE(performer.init(&world, 288, scoreFile));
        ASSERT_TRUE(performer.score.present);
    }

    // A microphone block: a sine in FFT bin `bin` (7.8125 Hz per bin) over the 800 samples.
    void hearTone(int bin, double amplitude) {
        platform::MicrophoneBlock samples{};
        for (size_t i = 0; i < samples.size(); ++i) {
            samples[i] =
                static_cast<int16_t>(amplitude * std::sin(2 * M_PI * bin * 7.8125 * static_cast<double>(i) / 8000.0));
        }
        world.heard.hear(samples);
    }

    // One update, hearing what hearTone last played.
    void update(bool enter = false) {
        PerformerInput input;
        input.enter = enter;
        input.heard = &world.heard;
        performer.update(input);
    }

    // Grows a started trail straight along `direction` by `count` segments of length `step`.
    void layStraight(int count, const Vector3& direction, float step = 0.4f) {
        for (int i = 0; i < count; ++i) {
            const Vector3 next = performer.lastSegment().position + step * direction;
            ASSERT_TRUE(performer.append(next, 60, 100, true));
        }
    }

    std::vector<RecordingMidiPort::Message> sent;
    TestSurroundings world{std::make_unique<RecordingMidiPort>(sent)};
    Performer performer;
    std::string scoreFile;
};

}  // namespace glassfalls::test_support
