// Whole runs on the virtual clock, checked from what they leave behind: screenshots against
// committed goldens, the MIDI file of a sung melody, the sound and the video of a melody.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/file/WholeFile.h"
#include "platform/assets/Picture.h"
#include "platform/video/VideoEncoder.h"
#include "tests/app/RunProgram.h"
#include "tests/audio/TestWav.h"
#include "tests/platform/midi/SmfReader.h"
#include "tests/support/MelodyData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

namespace fs = std::filesystem;
using test_support::MelodyData;
using test_support::Outcome;
using test_support::readPicture;
using test_support::runProgram;

// The goldens were made by scripts/update-goldens from this very run.
TEST(Recording, AMelodyRunLooksLikeItsGoldens) {
    MelodyData data;
    const fs::path shots = test_support::tempPath("golden-run");
    const Outcome run = runProgram("--headless --frames 400 --every 50 --midi none --data " + data.path.string() +
                                   " --screenshots " + shots.string());
    ASSERT_EQ(run.status, 0) << run.output;
    int compared = 0;
    for (const auto& golden : fs::directory_iterator(fs::path(GLASSFALLS_SOURCE_DIR) / "tests/golden")) {
        const std::string name = golden.path().filename().string();  // melody-frame-NNNNNN.png
        const auto expected = readPicture(golden.path());
        const auto drawn = readPicture(shots / name.substr(std::string("melody-").size()));
        ASSERT_EQ(drawn.texels.size(), expected.texels.size()) << name;
        // A little room for another build of the renderer; a moved trail is far beyond it.
        const test_support::FrameDifference d = test_support::frameDifference(drawn.texels, expected.texels);
        EXPECT_LE(d.meanLevels, 0.5) << name;
        EXPECT_LE(d.worstLevels, 48) << name;
        ++compared;
    }
    EXPECT_EQ(compared, 3);
    fs::remove_all(shots);
}

// Two sung phrases, far apart. Listening performers send no notes of their own (only a
// melody file makes them play): what reaches the MIDI file is each closing's silencing, the
// note-offs of the eight scale notes from each of the eight performers. So each phrase the
// band table hears as notes gives one block of 64 note-offs, and the rests between give none.
TEST(Recording, ASungMelodyHeardThroughAFileClosesOncePerPhrase) {
    constexpr int kRate = 16000;
    std::vector<int16_t> samples;
    double t = 0;
    auto sing = [&](double frequency, double seconds) {
        for (int i = 0; i < static_cast<int>(seconds * kRate); ++i, t += 1.0 / kRate) {
            const double vibrato = 1 + 0.004 * std::sin(2 * M_PI * 5.5 * t);
            const double phase = 2 * M_PI * frequency * vibrato * t;
            const double v = frequency == 0 ? 0 : 0.35 * std::sin(phase) + 0.12 * std::sin(2 * phase) + 0.05 * std::sin(3 * phase);
            samples.push_back(static_cast<int16_t>(std::lround(v * 32767)));
        }
    };
    sing(0, 11);  // the title, which does not listen
    for (int phrase = 0; phrase < 2; ++phrase) {
        // C5, E5, G5, A5 (bins 67, 84, 100, 113: notes 60, 64, 67, 69 of the band table).
        for (const double note : {523.25, 659.25, 783.99, 880.0}) sing(note, 0.8);
        sing(0, 8);
    }
    const fs::path wav = test_support::tempPath("sung.wav"), midi = test_support::tempPath("sung.mid");
    test_support::writeWav(wav.string(), kRate, 1, samples);
    const Outcome run = runProgram("--headless --frames 400 --midi none --audio-file " + wav.string() +
                                   " --midi-file " + midi.string() + " --data " +
                                   test_support::TestDataDirectory::source().string());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::readWholeFile(midi.string(), bytes));
    const auto track = test_support::readSmf(bytes);
    ASSERT_TRUE(track.valid) << track.problem;
    const std::vector<int> scale{60, 62, 64, 65, 67, 69, 71, 72};
    ASSERT_EQ(track.events.size(), 2u * 64u);
    for (size_t i = 0; i < track.events.size(); ++i) {
        EXPECT_EQ(track.events[i].status, 0x80) << i;
        EXPECT_EQ(track.events[i].data1, scale[i % 8]) << i;
    }
    EXPECT_GT(track.events[64].tick - track.events[0].tick, 5000u) << "one closing per phrase";
    fs::remove(wav);
    fs::remove(midi);
}

struct WavInfo {
    int channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
};

WavInfo readWav(const fs::path& file) {
    std::vector<uint8_t> b;
    EXPECT_TRUE(platform::readWholeFile(file.string(), b));
    WavInfo w;
    if (b.size() < 44) return w;
    auto u16 = [&](size_t at) { return b[at] | b[at + 1] << 8; };
    auto u32 = [&](size_t at) { return static_cast<uint32_t>(u16(at) | u16(at + 2) << 16); };
    w.channels = u16(22);
    w.rate = static_cast<int>(u32(24));
    w.bits = u16(34);
    EXPECT_EQ(u32(40), b.size() - 44) << "the header counts every sample";
    w.samples.resize((b.size() - 44) / 2);
    std::memcpy(w.samples.data(), &b[44], w.samples.size() * 2);
    return w;
}

// The title is silent; the melody sounds from the performance's first frames; the file is as
// long as the run.
TEST(Recording, TheSoundOfARunIsItsLengthSilentThroughTheTitle) {
    MelodyData data;
    const fs::path wav = test_support::tempPath("run.wav");
    const Outcome run = runProgram("--headless --frames 200 --data " + data.path.string() + " --audio-out " + wav.string());
    ASSERT_EQ(run.status, 0) << run.output;
    const WavInfo w = readWav(wav);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ(w.rate, 44100);
    EXPECT_EQ(w.bits, 16);
    // 128 title frames 76 ms apart, then 72 performance frames 101 ms apart.
    const size_t runMs = 128 * 76 + 72 * 101;
    EXPECT_EQ(w.samples.size(), runMs * 441 / 10 * 2);
    const size_t titleEnd = size_t{128 * 76} * 441 / 10 * 2;
    EXPECT_TRUE(std::all_of(w.samples.begin(), w.samples.begin() + static_cast<long>(titleEnd), [](int16_t s) { return s == 0; }));
    double energy = 0;
    for (size_t i = titleEnd; i < w.samples.size(); ++i) energy += std::abs(w.samples[i]);
    EXPECT_GT(energy / static_cast<double>(w.samples.size() - titleEnd), 50.0) << "the melody sounds";
    fs::remove(wav);
}

TEST(Recording, RecordingMistakesAreOneLineAtStartUp) {
    const std::string data = " --data " + test_support::TestDataDirectory::source().string();
    const struct {
        const char* arguments;
        std::string environment;
        const char* says;
    } cases[] = {
        {"--headless --frames 2 --audio-out /nonexistent/dir/run.wav", "", "/nonexistent/dir/run.wav"},
        {"--headless --frames 2 --midi none --audio-out /tmp/run.wav", "", "--audio-out records the built-in synthesiser"},
        {"--headless --frames 2 --video /tmp/run.mp4", "env PATH=/nonexistent", "sudo apt-get install ffmpeg"},
    };
    for (const auto& c : cases) {
        const Outcome run = runProgram(c.arguments + data, c.environment);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output;
    }
    EXPECT_NE(runProgram("--frames 2 --audio-out /tmp/run.wav").status, 0) << "needs --headless";
}

TEST(Recording, AVideoHoldsOnePictureAndOneSoundStream) {
    if (!platform::onPath("ffmpeg") || !platform::onPath("ffprobe")) GTEST_SKIP() << "ffmpeg is not installed";
    MelodyData data;
    const fs::path video = test_support::tempPath("run.mp4"), streams = test_support::tempPath("streams.txt");
    const Outcome run = runProgram("--headless --frames 160 --data " + data.path.string() + " --video " + video.string());
    ASSERT_EQ(run.status, 0) << run.output;
    ASSERT_EQ(std::system(("ffprobe -v error -show_entries stream=codec_type -of csv=p=0 " + video.string() + " > " +
                           streams.string()).c_str()), 0);
    std::vector<uint8_t> kinds;
    ASSERT_TRUE(platform::readWholeFile(streams.string(), kinds));
    EXPECT_EQ(std::string(kinds.begin(), kinds.end()), "video\naudio\n");
    EXPECT_FALSE(fs::exists(video.string() + ".partial.mkv"));
    EXPECT_FALSE(fs::exists(video.string() + ".sound.wav"));
    fs::remove(video);
    fs::remove(streams);
}

}  // namespace
}  // namespace glassfalls
