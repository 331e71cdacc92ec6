// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/Backends.h"

namespace glassfalls {
namespace {

// A soundfont asked for by name that cannot be read ends start-up, whether or not the
// synthesiser was named too: running silent would hide the mistake.
TEST(Backends, ASoundfontAskedForThatCannotBeReadIsFatal) {
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

}  // namespace
}  // namespace glassfalls
