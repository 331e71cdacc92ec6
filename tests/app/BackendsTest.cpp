// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/Backends.h"
#include "tests/app/RunProgram.h"
#include "tests/support/Backends.h"

namespace glassfalls {
namespace {

// A soundfont asked for by name that cannot be read ends start-up, whether or not the
// synthesiser was named too: running silent would hide the mistake.
TEST(Backends, ASoundfontAskedForThatCannotBeReadIsFatal) {
    GLASSFALLS_SKIP_WITHOUT(kWithSynthesiser, "built-in synthesiser");
    platform::VirtualClock clock;
    for (const bool synthChosen : {false, true}) {
        StartOptions options;
        options.soundfont = "/nonexistent/none.sf2";
        options.midiChosen = synthChosen;
        testing::internal::CaptureStderr();
        const auto port = pickMidiPort(options, clock, nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << synthChosen;
        ASSERT_FALSE(port) << synthChosen;
        EXPECT_NE(port.error().find("none.sf2"), std::string::npos) << port.error();
    }
}

// Every option that asks for an optional backend: accepted where the build has it, refused
// in one line naming the option where it has not.
TEST(Backends, AnOptionForABackendTheBuildLacksIsRefusedInOneLine) {
    struct Case {
        bool built;
        void (*ask)(StartOptions&);
        const char* refusal;
    };
    const Case cases[] = {
        {test_support::kWithAlsa, [](StartOptions& o) { o.midi = "alsa:Synth"; },
         "--midi alsa:Synth: this build has no ALSA sequencer"},
        {test_support::kWithAlsa, [](StartOptions& o) { o.instrument = "alsa:Keystation"; },
         "--instrument alsa:Keystation: this build has no ALSA sequencer"},
        {test_support::kWithSynthesiser,
         [](StartOptions& o) {
             o.midi = "synth";
             o.midiChosen = true;
         },
         "--midi synth: this build has no built-in synthesiser"},
        {test_support::kWithSynthesiser, [](StartOptions& o) { o.soundfont = "/tmp/a.sf2"; },
         "--soundfont: this build has no built-in synthesiser"},
        {test_support::kWithSynthesiser, [](StartOptions& o) { o.audioOut = "/tmp/a.wav"; },
         "--audio-out: this build has no built-in synthesiser"},
        {test_support::kWithVideo, [](StartOptions& o) { o.videoFile = "/tmp/a.mp4"; },
         "--video: this build has no video recording"},
        {test_support::kWithOsc, [](StartOptions& o) { o.oscPort = 9000; },
         "--osc-port: this build has no show control over OSC"},
        {test_support::kWithOsc, [](StartOptions& o) { o.lead = "239.0.0.7:7400"; },
         "--lead: this build has no OSC for several screens"},
        {test_support::kWithOsc, [](StartOptions& o) { o.follow = "239.0.0.7:7400"; },
         "--follow: this build has no OSC for several screens"},
    };
    StartOptions plain;
    EXPECT_TRUE(refuseMissingBackends(plain)) << "the synthesiser by default is not asked for by name";
    for (const Case& c : cases) {
        StartOptions options;
        c.ask(options);
        const auto refused = refuseMissingBackends(options);
        if (c.built) {
            EXPECT_TRUE(refused) << c.refusal;
        } else {
            ASSERT_FALSE(refused) << c.refusal;
            EXPECT_EQ(refused.error(), c.refusal);
        }
    }
    // A settings file that names a picture server, in a build without the link.
    if (!test_support::kWithPictureLink) {
        const auto link = openPictureLink("pictures.local", 4100);
        ASSERT_FALSE(link);
        EXPECT_EQ(link.error(), "this build has no picture link to reach the picture server pictures.local:4100");
    }
    // The program itself: status 2 and the line, before anything opens.
    if (!test_support::kWithVideo) {
        const auto run = test_support::runProgram("--headless --frames 1 --video /tmp/refused.mp4");
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.output, "glassfalls: --video: this build has no video recording\n");
    }
}

}  // namespace
}  // namespace glassfalls
