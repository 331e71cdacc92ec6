// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

// Which optional backends the build under test has (GLASSFALLS_WITH_*, set by the build), so
// that a test which needs one is skipped, saying why, in a build made without it.
namespace glassfalls::test_support {

inline constexpr bool kWithAlsa = GLASSFALLS_WITH_ALSA;
inline constexpr bool kWithSynthesiser = GLASSFALLS_WITH_FLUIDSYNTH;
inline constexpr bool kWithSystemd = GLASSFALLS_WITH_SYSTEMD;
inline constexpr bool kWithOsc = GLASSFALLS_WITH_OSC;
inline constexpr bool kWithVideo = GLASSFALLS_WITH_VIDEO;
inline constexpr bool kWithDisplayHelpers = GLASSFALLS_WITH_DISPLAY_HELPERS;
inline constexpr bool kWithPictureLink = GLASSFALLS_WITH_PICTURE_LINK;

}  // namespace glassfalls::test_support

// Skips the test in a build without `backend` (one of the constants above).
#define GLASSFALLS_SKIP_WITHOUT(backend, what) \
    if (!glassfalls::test_support::backend) GTEST_SKIP() << "this build has no " what
