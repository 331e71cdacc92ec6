// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/ShowControl.h"
#include "platform/input/Keyboard.h"
#include "tests/app/RunProgram.h"
#include "tests/platform/sound/TestWav.h"
#include "tests/support/FreePort.h"
#include "tests/support/Processes.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace {

using namespace glassfalls::test_support;

struct StatusReply {
    std::string scene;
    int performers = -1;
    int frames = -1;
    float framesPerSecond = -1;
};

// The status replies oscdump has printed so far: "TIME /glassfalls/status siif "SCENE" P F FPS".
std::vector<StatusReply> repliesIn(const std::filesystem::path& dump) {
    std::vector<StatusReply> replies;
    std::ifstream in(dump);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string time, path, types;
        StatusReply reply;
        if (fields >> time >> path >> types >> reply.scene >> reply.performers >> reply.frames >>
                reply.framesPerSecond &&
            path == "/glassfalls/status" && types == "siif") {
            replies.push_back(reply);
        }
    }
    return replies;
}

// Sends until a reply satisfies `wanted`; false after a minute.
bool sendUntil(const std::string& messages, const std::filesystem::path& dump,
               const std::function<bool(const StatusReply&)>& wanted) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::system(messages.c_str()) != 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (const StatusReply& reply : repliesIn(dump)) {
            if (wanted(reply)) return true;
        }
    }
    return false;
}

}  // namespace

// A show-control system drives a run with liblo's own tools: it waits for the performance,
// starts it with an enter (all eight performers see the same tap), and ends the piece with an
// escape. What it sends wrong is said once; a second piece on the same port is refused in one
// line. The run is paced by the real clock, as at a show: a performance in silence then lasts
// 300 ms, far longer than the moment between a tap and the status request that follows it.
TEST(ShowControl, OscStartsThePerformersAnswersStatusAndEndsThePiece) {
    const int piecePort = freeUdpPort();
    const int dumpPort = freeUdpPort();
    const auto dump = tempPath("osc-dump.txt");
    const auto output = tempPath("osc-run.txt");
    const std::string data = "--data " + TestDataDirectory::source().string();
    const pid_t dumper = startProcess("oscdump -L " + std::to_string(dumpPort) + " >" + dump.string());
    const auto silence = tempPath("osc-silence.wav");
    writeWav(silence.string(), 8000, 1, std::vector<int16_t>(800, 0));
    const pid_t piece =
        startProcess(std::string(kLiveOffScreen) + " " + GLASSFALLS_BINARY +
                     " --windowed --frames 10000000 --midi none --audio-file " + silence.string() + " --osc-port " +
                     std::to_string(piecePort) + " " + data + " >" + output.string() + " 2>&1");
    const std::string send = "oscsend 127.0.0.1 " + std::to_string(piecePort) + " ";
    const std::string status = send + "/glassfalls/status i " + std::to_string(dumpPort);

    EXPECT_TRUE(sendUntil(status, dump, [](const StatusReply& r) { return r.scene == "\"performance\""; }));
    const auto before = repliesIn(dump);
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(before.front().scene, "\"title\"");
    EXPECT_EQ(before.back().performers, 0) << "nothing starts in silence by itself";
    EXPECT_GT(before.back().frames, before.front().frames);
    EXPECT_GT(before.back().framesPerSecond, 0.0f);

    // A performance in silence lasts a few frames; each try taps and asks at once.
    EXPECT_TRUE(sendUntil(send + "/glassfalls/enter && " + status, dump,
                          [](const StatusReply& r) { return r.performers == 8; }));
    for (const StatusReply& reply : repliesIn(dump)) EXPECT_TRUE(reply.performers == 0 || reply.performers == 8);

    const Outcome taken =
        runProgram("--headless --frames 1 --midi none --osc-port " + std::to_string(piecePort) + " " + data);
    EXPECT_EQ(taken.status, 1);
    EXPECT_EQ(taken.output, "glassfalls: cannot take UDP port " + std::to_string(piecePort) +
                                " for OSC: it is in use or not allowed (--osc-port)\n");

    ASSERT_EQ(std::system((send + "/glassfalls/nowhere && " + send + "/glassfalls/nowhere && " + send +
                           "/glassfalls/left s yes && " + send + "/glassfalls/escape")
                              .c_str()),
              0);
    EXPECT_EQ(finishProcess(piece, 0), 0) << "an escape ends the piece normally";
    finishProcess(dumper, SIGTERM);
    std::ifstream said(output);
    const std::string text((std::istreambuf_iterator<char>(said)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text,
              "glassfalls: OSC: ignored /glassfalls/nowhere: not an address of the piece (said once)\n"
              "glassfalls: OSC: ignored /glassfalls/left with arguments s: it takes one, 1 or 0 (said once)\n");
    std::filesystem::remove(dump);
    std::filesystem::remove(output);
    std::filesystem::remove(silence);
}

// Show control plays notes as an instrument: a note-on is held until its note-off (velocity
// 0) comes, and a note with arguments it cannot play is said once and changes nothing.
TEST(ShowControl, NotesAreHeldFromTheirNoteOnToTheirNoteOff) {
    glassfalls::platform::NullKeyboard none;
    glassfalls::platform::RemoteKeys keys(none);
    glassfalls::HeldNotes notes;
    glassfalls::ShowControl control(
        keys, [] { return glassfalls::ShowStatus{}; }, &notes);
    const int port = freeUdpPort();
    ASSERT_TRUE(control.open(port));
    const std::string send = "oscsend 127.0.0.1 " + std::to_string(port) + " /glassfalls/note ";
    glassfalls::FrameInput unused;
    // Polls as the loop does between frames until `heard` is what a frame hears; false after
    // ten seconds.
    auto pollUntil = [&](const std::optional<glassfalls::PlayedNote>& heard) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            control.poll(0, unused);
            if (notes.takeFrame() == heard) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    };
    testing::internal::CaptureStderr();
    ASSERT_EQ(std::system((send + "ii 67 100").c_str()), 0);
    EXPECT_TRUE(pollUntil(glassfalls::PlayedNote{67, 100}));
    EXPECT_EQ(std::system((send + "ii 200 100").c_str()), 0);
    EXPECT_EQ(std::system((send + "s G").c_str()), 0);
    EXPECT_TRUE(pollUntil(glassfalls::PlayedNote{67, 100})) << "still held";
    ASSERT_EQ(std::system((send + "ii 67 0").c_str()), 0);
    EXPECT_TRUE(pollUntil(std::nullopt)) << "let go";
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("/glassfalls/note with arguments ii"), std::string::npos) << said;
    EXPECT_NE(said.find("/glassfalls/note with arguments s"), std::string::npos) << said;
}
