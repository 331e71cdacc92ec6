// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/assets/Picture.h"
#include "platform/os/WholeFile.h"
#include "tests/app/RunProgram.h"
#include "tests/platform/sound/SmfReader.h"
#include "tests/platform/sound/TestWav.h"
#include "tests/support/Backends.h"
#include "tests/support/FreePort.h"
#include "tests/support/Processes.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace {

using glassfalls::test_support::kLiveOffScreen;
using glassfalls::test_support::Outcome;
using glassfalls::test_support::runProgram;

std::string dataArgument() { return "--data " + glassfalls::test_support::TestDataDirectory::source().string(); }

}  // namespace

// How fast such a run goes is measured by BM_HeadlessTwoHundredFrames.
TEST(HeadlessRun, TwoHundredFramesEndNormallyAndSilently) {
    const Outcome run = runProgram("--headless --frames 200 " + dataArgument());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "");
}

TEST(HeadlessRun, EscapeFromAKeyScriptEndsNormally) {
    const auto script = glassfalls::test_support::tempPath("escape.keys");
    std::FILE* f = std::fopen(script.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("10 Escape down\n", f);
    std::fclose(f);
    const Outcome run = runProgram("--headless --frames 100000 --keys " + script.string() + " " + dataArgument());
    EXPECT_EQ(run.status, 0) << run.output;
    std::filesystem::remove(script);
}

TEST(HeadlessRun, MissingDataDirectoryIsOneLineAndNonZero) {
    const Outcome run = runProgram("--headless --frames 5 --data /nonexistent/glassfalls-data");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("/nonexistent/glassfalls-data/"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output;
}

TEST(HeadlessRun, ABrokenTitleModelIsOneLineNamingIt) {
    glassfalls::test_support::TestDataDirectory data;
    std::ofstream(data.path / "title.x", std::ios::trunc) << "xof 0303txt 0032\nMesh M {\n 2000000000;\n";
    const Outcome run = runProgram("--headless --frames 5 --midi none --data " + data.path.string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find((data.path / "title.x").string()), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output;
}

// Without a display SDL would settle for a driver that shows nothing: the piece says so instead
// of running unseen. Chosen on purpose, such a driver is kept.
TEST(HeadlessRun, NoDisplayIsOneLineUnlessTheDriverWasChosen) {
    const Outcome unseen = runProgram("--windowed --frames 2 --midi none " + dataArgument(),
                                      "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER");
    EXPECT_EQ(unseen.status, 1);
    EXPECT_EQ(unseen.output,
              "glassfalls: no display found; run it from a desktop session, or use --headless to "
              "render off-screen\n");
    const Outcome chosen = runProgram("--windowed --frames 2 --midi none " + dataArgument(), kLiveOffScreen);
    EXPECT_EQ(chosen.status, 0) << chosen.output;
    // A display that is not there is named with the ones that are.
    const Outcome elsewhere =
        runProgram("--windowed --frames 2 --display 3 --midi none " + dataArgument(), kLiveOffScreen);
    EXPECT_EQ(elsewhere.status, 1);
    EXPECT_EQ(elsewhere.output.rfind("glassfalls: there is no display 3; the displays are: 0 ", 0), 0u)
        << elsewhere.output;
}

TEST(HeadlessRun, DeviceListsSayWhatHappensWithoutDevices) {
    const Outcome run = runProgram("--list-devices");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.output.rfind("Displays (for --display):\n", 0), 0u) << run.output;
    const size_t capture = run.output.find("Capture devices (for --audio-device):\n");
    const size_t instruments = run.output.find("Instruments (for --instrument):\n");
    const size_t midi = run.output.find("MIDI outputs (for --midi):\n");
    ASSERT_NE(capture, std::string::npos) << run.output;
    ASSERT_NE(instruments, std::string::npos) << run.output;
    ASSERT_NE(midi, std::string::npos) << run.output;
    const std::string captureLines = run.output.substr(capture, instruments - capture);
    EXPECT_TRUE(captureLines.find("(none found; the piece runs on silence)") != std::string::npos ||
                captureLines.find("  ") != std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("synth  (default)") != std::string::npos, glassfalls::test_support::kWithSynthesiser)
        << run.output;
    EXPECT_EQ(run.output.find("(this build has no ALSA sequencer)") == std::string::npos,
              glassfalls::test_support::kWithAlsa)
        << run.output;
}

TEST(HeadlessRun, AMissingSoundOrMelodyFileIsAStartUpError) {
    for (const std::string option : {"--audio-file /nonexistent/voice.wav", "--melody /nonexistent/music.dat"}) {
        const Outcome run = runProgram("--headless --frames 5 " + option + " " + dataArgument());
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_NE(run.output.find(option.substr(option.find(' ') + 1)), std::string::npos) << run.output;
    }
}

TEST(HeadlessRun, CommandLineErrorsAndHelp) {
    EXPECT_NE(runProgram("--no-such-option").status, 0);
    const struct {
        const char* arguments;
        const char* says;
    } mistakes[] = {
        {"--frames 0", "--frames: must be a whole number of at least 1"},
        {"--frames lots", "--frames: must be a whole number of at least 1"},
        {"--frames -3", "--frames: must be a whole number of at least 1"},
        {"--screenshots /tmp --every 0", "--every: must be a whole number of at least 1"},
        {"--instrument keyboard", "--instrument: must be alsa:PORT, file:FILE.mid or osc"},
        {"--instrument osc", "--instrument osc: needs --osc-port N"},
        {"--headless --instrument alsa:Keystation", "is played live and cannot drive a --headless run"},
        {"--lead 239.0.0.7", "--lead: must be GROUP:PORT"},
        {"--lead 239.0.0.7:7400,10.0.0.2:7400", "--lead: must be GROUP:PORT"},
        {"--follow 10.0.0.2:0", "--follow: must be GROUP:PORT"},
        {"--lead 239.0.0.7:7400 --follow 239.0.0.7:7400", "excludes --follow"},
        {"--follow 239.0.0.7:7400 --audio-file voice.wav", "--audio-file excludes --follow"},
        {"--follow 239.0.0.7:7400 --midi synth", "--follow: the leader plays the notes"},
    };
    for (const auto& m : mistakes) {
        const Outcome run = runProgram(m.arguments);
        EXPECT_NE(run.status, 0) << m.arguments;
        EXPECT_NE(run.output.find(m.says), std::string::npos) << m.arguments << ": " << run.output;
    }
    // A frame size the piece cannot draw: status 2, one line, before anything opens.
    for (const char* size : {"0x480", "640", "640x", "x480", "640x480x2", "20000x1080", "wide"}) {
        const Outcome run = runProgram(std::string("--headless --frames 1 --size ") + size);
        EXPECT_EQ(run.status, 2) << size;
        EXPECT_EQ(run.output, std::string("glassfalls: --size ") + size +
                                  ": must be native or WxH, each from 1 to 16384, e.g. 1920x1080\n");
    }
    // A key script follows one rule whether it is missing or malformed: status 2, one line.
    const Outcome missingKeys = runProgram("--headless --keys /nonexistent/demo.keys " + dataArgument());
    EXPECT_EQ(missingKeys.status, 2);
    EXPECT_EQ(missingKeys.output, "glassfalls: cannot open key script /nonexistent/demo.keys\n");

    const Outcome help = runProgram("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--windowed", "--data", "--headless", "--frames", "--keys", "--version",
                               "--audio-device", "--audio-file", "--list-devices", "--size", "--aspect", "--msaa"}) {
        EXPECT_NE(help.output.find(option), std::string::npos) << option;
    }
    const Outcome version = runProgram("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.output.find("glassfalls "), std::string::npos);
}

TEST(HeadlessRun, ScreenshotsAreWrittenAtEveryKthAdvance) {
    const auto directory = glassfalls::test_support::tempPath("screenshots-test") / "new";
    std::filesystem::remove_all(directory.parent_path());
    const Outcome run =
        runProgram("--headless --frames 7 --screenshots " + directory.string() + " --every 3 " + dataArgument());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"frame-000003.png", "frame-000006.png"}));

    std::vector<uint8_t> bytes;
    glassfalls::platform::assets::Picture frame;
    ASSERT_TRUE(glassfalls::platform::readWholeFile((directory / names.at(0)).string(), bytes));
    ASSERT_TRUE(glassfalls::platform::assets::decodePicture(bytes, frame));
    EXPECT_EQ(frame.width, 640);
    EXPECT_EQ(frame.height, 480);
    std::filesystem::remove_all(directory.parent_path());
}

// The trails, their ripples and the random small rings follow from the seeded generator and
// the virtual clock alone: two runs draw the same frames to the byte. The second run opens
// the synthesiser, which draws thousands of values from the C library's generator while it
// starts; the rings must not move with it. It takes the melody with --melody, from outside
// a data directory that has none.
TEST(HeadlessRun, TwoRunsOfAMelodyDrawTheSameFramesWhateverTheMidiOutput) {
    glassfalls::test_support::TestDataDirectory data;
    const std::filesystem::path melody = std::filesystem::path(GLASSFALLS_SOURCE_DIR) / "examples/music.dat";
    std::filesystem::copy_file(melody, data.path / "music.dat");
    const struct {
        const char* midi;
        std::string melodyFrom;
    } runs[] = {
        {"none", " --data " + data.path.string()},
        {glassfalls::test_support::kWithSynthesiser ? "synth" : "none",
         " --data " + glassfalls::test_support::TestDataDirectory::source().string() + " --melody " + melody.string()}};
    std::vector<std::vector<uint8_t>> frames[2];
    int run = 0;
    for (const auto& [midi, melodyFrom] : runs) {
        const auto directory = glassfalls::test_support::tempPath(std::string("run-") + midi);
        const Outcome outcome = runProgram("--headless --frames 260 --midi " + std::string(midi) + " --screenshots " +
                                           directory.string() + " --every 20" + melodyFrom);
        ASSERT_EQ(outcome.status, 0) << outcome.output;
        for (int advance = 20; advance <= 260; advance += 20) {
            const auto shot = glassfalls::test_support::screenshotPath(directory, advance);
            frames[run].emplace_back();
            EXPECT_TRUE(glassfalls::platform::readWholeFile(shot.string(), frames[run].back())) << shot;
        }
        std::filesystem::remove_all(directory);
        ++run;
    }
    ASSERT_EQ(frames[0].size(), 13u);
    EXPECT_NE(frames[0][7], frames[0][11]) << "the trails grow between the frames";
    for (size_t i = 0; i < frames[0].size(); ++i) EXPECT_EQ(frames[0][i], frames[1][i]) << "advance " << (i + 1) * 20;
}

TEST(HeadlessRun, ScreenshotOptionsAreCheckedBeforeAnythingRuns) {
    const Outcome everyAlone = runProgram("--headless --frames 1 --every 2 " + dataArgument());
    EXPECT_NE(everyAlone.status, 0);
    EXPECT_NE(everyAlone.output.find("--screenshots"), std::string::npos) << everyAlone.output;

    const Outcome blocked = runProgram("--headless --frames 1 --screenshots /dev/null/shots " + dataArgument());
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.output.find("/dev/null/shots"), std::string::npos) << blocked.output;
}

TEST(HeadlessRun, MidiFileIsAValidRecordingWhateverTheWayOut) {
    const auto path = glassfalls::test_support::tempPath("headless-run.mid");
    const Outcome run = runProgram("--headless --frames 30 --midi-file " + path.string() + " " + dataArgument());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(glassfalls::platform::readWholeFile(path.string(), bytes));
    const auto track = glassfalls::test_support::readSmf(bytes);
    EXPECT_TRUE(track.valid) << track.problem;
    EXPECT_EQ(track.division, 1000);
    std::filesystem::remove(path);

    const Outcome badOutput = runProgram("--headless --frames 1 --midi nowhere " + dataArgument());
    EXPECT_NE(badOutput.status, 0);
    EXPECT_NE(badOutput.output.find("synth, alsa:PORT, web:NAME or none"), std::string::npos) << badOutput.output;
    const Outcome webOnDesktop = runProgram("--headless --frames 1 --midi web:Synth " + dataArgument());
    EXPECT_EQ(webOnDesktop.status, 2);
    EXPECT_EQ(webOnDesktop.output, "glassfalls: --midi web:Synth: this build has no Web MIDI (a page's)\n");
    const Outcome picturesOnDesktop =
        runProgram("--headless --frames 1 --pictures ws://127.0.0.1:4001 " + dataArgument());
    EXPECT_EQ(picturesOnDesktop.status, 2);
    EXPECT_EQ(picturesOnDesktop.output,
              "glassfalls: --pictures: this build has no WebSocket picture link (a page's)\n");
}

// A whole performance of a short melody, heard on the MIDI file: every performer sends the
// same messages in the group's order, the notes follow the melody through the band table,
// and the closing sequence silences the scale.
TEST(HeadlessRun, AMelodyIsPlayedByAllEightPerformersInTurn) {
    glassfalls::test_support::TestDataDirectory data;
    std::ofstream(data.path / "music.dat") << "C\n64\n255\n1\nD\n72\n255\n2\nE\n80\n200\n1\n"
                                              "rest\n255\n0\n1\nG\n100\n255\n1\n";
    const auto path = glassfalls::test_support::tempPath("melody-run.mid");
    const Outcome run = runProgram("--headless --frames 200 --midi none --midi-file " + path.string() + " --data " +
                                   data.path.string());
    ASSERT_EQ(run.status, 0) << run.output;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(glassfalls::platform::readWholeFile(path.string(), bytes));
    std::filesystem::remove(path);
    const auto track = glassfalls::test_support::readSmf(bytes);
    ASSERT_TRUE(track.valid) << track.problem;
    ASSERT_FALSE(track.events.empty());

    // Per frame (one tick), the messages are one performer's, eight times over.
    std::vector<std::vector<glassfalls::test_support::SmfEvent>> frames;
    for (const auto& e : track.events) {
        if (frames.empty() || frames.back().front().tick != e.tick) frames.emplace_back();
        frames.back().push_back(e);
    }
    std::vector<int> noteOns;
    for (const auto& frame : frames) {
        ASSERT_EQ(frame.size() % 8, 0u) << "at " << frame.front().tick << " ms";
        const size_t each = frame.size() / 8;
        for (size_t i = each; i < frame.size(); ++i) EXPECT_EQ(frame[i], frame[i % each]);
        for (size_t i = 0; i < each; ++i) {
            if (frame[i].status == 0x90) noteOns.push_back(frame[i].data1);
        }
    }
    // After each closing the performers wait and the melody starts again from its beginning.
    ASSERT_GE(noteOns.size(), 4u);
    for (size_t i = 0; i < noteOns.size(); ++i) EXPECT_EQ(noteOns[i], (std::vector<int>{60, 62, 64, 67})[i % 4]);
    // Frames are at least the performance's 100 ms apart.
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_GT(frames[i].front().tick - frames[i - 1].front().tick, 100u);

    // The closing sequence's silencing: the eight scale notes, from each performer.
    const auto closing = std::find_if(frames.begin(), frames.end(), [](const auto& f) { return f.size() == 64; });
    ASSERT_NE(closing, frames.end());
    const std::vector<int> scale{60, 62, 64, 65, 67, 69, 71, 72};
    for (size_t i = 0; i < 64; ++i) {
        EXPECT_EQ((*closing)[i].status, 0x80);
        EXPECT_EQ((*closing)[i].data1, scale[i % 8]);
    }
}

// Notes still sounding when the piece ends
std::map<int, bool> soundingAtTheEnd(const std::filesystem::path& midiFile) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(glassfalls::platform::readWholeFile(midiFile.string(), bytes));
    const auto track = glassfalls::test_support::readSmf(bytes);
    EXPECT_TRUE(track.valid) << track.problem;
    std::map<int, bool> sounding;
    for (const auto& e : track.events) {
        if (e.status == 0x90 && e.data2 > 0) sounding[e.data1] = true;
        if (e.status == 0x80) sounding[e.data1] = false;
    }
    for (auto it = sounding.begin(); it != sounding.end();) it = it->second ? std::next(it) : sounding.erase(it);
    EXPECT_FALSE(track.events.empty());
    return sounding;
}

// One long G, sounding whenever the piece is stopped.
TEST(HeadlessRun, NotesAreSilencedOnEveryWayOut) {
    GLASSFALLS_SKIP_WITHOUT(kWithOsc, "show control over OSC");
    glassfalls::test_support::TestDataDirectory data;
    std::ofstream(data.path / "music.dat") << "G\n100\n255\n100000\n";
    const auto midiFile = glassfalls::test_support::tempPath("way-out.mid");
    const std::string common =
        "--headless --midi none --midi-file " + midiFile.string() + " --data " + data.path.string();

    ASSERT_EQ(runProgram("--frames 160 " + common).status, 0);
    EXPECT_TRUE(soundingAtTheEnd(midiFile).empty()) << "--frames";

    const auto keys = glassfalls::test_support::tempPath("way-out.keys");
    std::ofstream(keys) << "150 Escape down\n";
    ASSERT_EQ(runProgram("--frames 100000 --keys " + keys.string() + " " + common).status, 0);
    EXPECT_TRUE(soundingAtTheEnd(midiFile).empty()) << "Escape";
    std::filesystem::remove(keys);

    // SIGTERM, and an escape from show control, while the note sounds.
    const int oscPort = glassfalls::test_support::freeUdpPort();
    const std::string command = std::string(GLASSFALLS_BINARY) + " --frames 100000000 --osc-port " +
                                std::to_string(oscPort) + " " + common + " >/dev/null 2>&1";
    for (const std::string way : {"SIGTERM", "OSC escape"}) {
        std::filesystem::remove(midiFile);
        const pid_t child = glassfalls::test_support::startProcess(command);
        // Wait until the note is heard in the file, which is written every frame.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool heard = false;
        while (!heard && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            std::vector<uint8_t> bytes;
            if (!glassfalls::platform::readWholeFile(midiFile.string(), bytes)) continue;
            for (const auto& e : glassfalls::test_support::readSmf(bytes).events) heard = heard || e.status == 0x90;
        }
        EXPECT_TRUE(heard) << "the performance never started";
        const bool signalled = way == "SIGTERM";
        if (!signalled) {
            EXPECT_EQ(std::system(("oscsend 127.0.0.1 " + std::to_string(oscPort) + " /glassfalls/escape").c_str()), 0);
        }
        EXPECT_EQ(glassfalls::test_support::finishProcess(child, signalled ? SIGTERM : 0), 0)
            << way << " ends the piece normally";
        EXPECT_TRUE(soundingAtTheEnd(midiFile).empty()) << way;
    }
    std::filesystem::remove(midiFile);
}

// Under a unit of Type=notify the piece says it is ready once, then pings the watchdog at half
// its interval while the frames advance. The messages are read as they come, as the service
// manager does: a socket left full would hold up the sender. The run is paced by the real
// clock, which the watchdog counts in: title frames at least 75 ms apart against pings due
// every 50 ms, and each advance pings as it begins, so every advance after the first pings,
// however fast or slowly the machine draws.
TEST(HeadlessRun, AServiceManagerHearsReadyThenWatchdogPings) {
    GLASSFALLS_SKIP_WITHOUT(kWithSystemd, "systemd notices");
    const auto path = glassfalls::test_support::tempPath("notify.sock");
    const int listener = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    std::vector<std::string> said;
    std::atomic<bool> finished{false};
    auto readWaiting = [&] {
        char datagram[256];
        ssize_t n = 0;
        while ((n = ::recv(listener, datagram, sizeof datagram, MSG_DONTWAIT)) > 0) {
            said.emplace_back(datagram, static_cast<size_t>(n));
        }
    };
    std::thread reader([&] {
        while (!finished) {
            readWaiting();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    constexpr int kAdvances = 20;
    const Outcome run =
        runProgram("--windowed --frames " + std::to_string(kAdvances) + " --midi none " + dataArgument(),
                   std::string(kLiveOffScreen) + " NOTIFY_SOCKET=" + path.string() + " WATCHDOG_USEC=100000");
    finished = true;
    reader.join();
    // A datagram is in the socket once it is sent, so what the piece said before it ended is here.
    readWaiting();
    ::close(listener);
    std::filesystem::remove(path);
    EXPECT_EQ(run.status, 0) << run.output;
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.front(), "READY=1");
    EXPECT_EQ(std::count(said.begin(), said.end(), "READY=1"), 1);
    EXPECT_GE(std::count(said.begin(), said.end(), "WATCHDOG=1"), kAdvances - 1);
}

// The options file is read before the command line, which wins; a bad line is refused with
// its file and line number before anything runs.
TEST(HeadlessRun, TheOptionsFileComesFirstAndABadLineIsNamed) {
    const auto config = glassfalls::test_support::tempPath("config");
    std::filesystem::create_directories(config / "glassfalls");
    const auto file = config / "glassfalls/options";
    const auto shots = glassfalls::test_support::tempPath("options-shots");
    std::ofstream(file) << "# the gallery's settings\n\n--midi none\n--frames 50\n--screenshots " << shots.string()
                        << "\n";
    const std::string environment = "XDG_CONFIG_HOME=" + config.string();
    const Outcome good = runProgram("--headless --frames 2 " + dataArgument(), environment);
    EXPECT_EQ(good.status, 0) << good.output;
    EXPECT_TRUE(std::filesystem::exists(shots / "frame-000002.png")) << "the file's screenshots";
    EXPECT_FALSE(std::filesystem::exists(shots / "frame-000003.png")) << "the command line's --frames";
    std::filesystem::remove_all(shots);

    const struct {
        const char* line;
        const char* said;
    } bad[] = {{"--frames none", ":4: --frames: must be a whole number"},
               {"frames 5", ":4: not an option"},
               {"--colour blue", ":4: unknown option --colour"}};
    for (const auto& c : bad) {
        std::ofstream(file) << "# the gallery's settings\n\n--midi none\n" << c.line << "\n";
        const Outcome refused = runProgram("--headless --frames 2 " + dataArgument(), environment);
        EXPECT_EQ(refused.status, 2) << c.line;
        EXPECT_NE(refused.output.find("glassfalls: " + file.string() + c.said), std::string::npos) << refused.output;
    }
    std::filesystem::remove_all(config);
}

// The setup check hears what the performers would: four sung notes, each in the middle of its
// band, come out in order, with silence between them.
TEST(HeadlessRun, TheListeningCheckPrintsTheNotesOfASungTune) {
    std::vector<int16_t> tune(8000 / 2, 0);
    for (const int bin : {64, 80, 98, 130}) {
        for (int i = 0; i < 4000; ++i) {
            tune.push_back(static_cast<int16_t>(9000.0 * std::sin(2 * M_PI * bin * 7.8125 * i / 8000.0)));
        }
        tune.insert(tune.end(), 2400, 0);
    }
    const auto wav = glassfalls::test_support::tempPath("tune.wav");
    glassfalls::test_support::writeWav(wav.string(), 8000, 1, tune);
    const Outcome run = runProgram("--listen --headless --audio-file " + wav.string());
    std::filesystem::remove(wav);
    EXPECT_EQ(run.status, 0) << run.output;
    std::vector<std::string> heard;
    size_t at = 0;
    while ((at = run.output.find('\r', at)) != std::string::npos) {
        const std::string line = run.output.substr(at + 1, run.output.find_first_of("\r\n", at + 1) - at - 1);
        ++at;
        const bool starts = line.find("a performance would start") != std::string::npos;
        const size_t name = line.find("  ", line.find("level ") + 6);
        const std::string note = line.substr(name + 2, line.find(' ', name + 2) - name - 2);
        EXPECT_EQ(starts, note != "silence") << line;
        if (heard.empty() || heard.back() != note) heard.push_back(note);
    }
    EXPECT_EQ(heard, (std::vector<std::string>{"silence", "C4", "silence", "E4", "silence", "G4", "silence", "C5",
                                               "silence"}));
}

// --view-turn turns the picture and nothing else: the notes are the same, a turn of 20
// degrees shows another side, and a whole turn shows the scene as it was.
TEST(HeadlessRun, AViewTurnTurnsThePictureAndNothingElse) {
    const auto folder = glassfalls::test_support::tempPath("view-turn");
    std::filesystem::remove_all(folder);
    std::map<std::string, std::vector<uint8_t>> midi;
    std::map<std::string, std::vector<uint32_t>> frame;
    for (const std::string turn : {"0", "20", "360"}) {
        const auto midiFile = folder / ("turn-" + turn + ".mid");
        std::filesystem::create_directories(folder);
        const Outcome run = runProgram("--headless --frames 300 --melody " + std::string(GLASSFALLS_SOURCE_DIR) +
                                       "/examples/music.dat --view-turn " + turn + " --midi-file " + midiFile.string() +
                                       " --screenshots " + (folder / turn).string() + " --every 300 " + dataArgument());
        ASSERT_EQ(run.status, 0) << turn << ": " << run.output;
        ASSERT_TRUE(glassfalls::platform::readWholeFile(midiFile.string(), midi[turn]));
        frame[turn] =
            glassfalls::test_support::readPicture(glassfalls::test_support::screenshotPath(folder / turn, 300)).texels;
    }
    EXPECT_TRUE(midi["0"] == midi["20"] && midi["0"] == midi["360"]) << "the turn changed what was played";
    EXPECT_LT(glassfalls::test_support::frameDifference(frame["0"], frame["20"]).shareWithin, 0.9);
    EXPECT_GE(glassfalls::test_support::frameDifference(frame["0"], frame["360"]).shareWithin, 0.999);
    const Outcome tooFar = runProgram("--headless --frames 1 --view-turn 400 " + dataArgument());
    EXPECT_NE(tooFar.status, 0);
    EXPECT_NE(tooFar.output.find("--view-turn"), std::string::npos) << tooFar.output;
    std::filesystem::remove_all(folder);
}
