#include "app/Backends.h"

#include <gtest/gtest.h>

namespace glassfalls {
namespace {

// The default synthesiser that cannot play leaves a silent piece; one asked for by name fails.
TEST(Backends, ASynthesiserThatCannotPlayIsOnlyFatalWhenAskedFor) {
    platform::VirtualClock clock;
    for (const bool chosen : {false, true}) {
        StartOptions options;
        options.soundfont = "/nonexistent/none.sf2";
        options.midiChosen = chosen;
        std::string error;
        testing::internal::CaptureStderr();
        const auto port = pickMidiPort(options, clock, error);
        const std::string said = testing::internal::GetCapturedStderr();
        if (chosen) {
            EXPECT_EQ(port, nullptr);
            EXPECT_NE(error.find("none.sf2"), std::string::npos) << error;
            EXPECT_EQ(said, "");
        } else {
            ASSERT_NE(port, nullptr);
            EXPECT_EQ(port->name(), "no MIDI output");
            EXPECT_NE(said.find("running without sound"), std::string::npos) << said;
            EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line";
        }
    }
}

}  // namespace
}  // namespace glassfalls
