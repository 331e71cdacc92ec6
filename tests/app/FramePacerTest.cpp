// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/FramePacer.h"

using glassfalls::FramePacer;

TEST(FramePacer, FirstPassOnlyTakesTheTime) {
    FramePacer pacer;
    EXPECT_FALSE(pacer.tick(5000, 75));
    EXPECT_FALSE(pacer.tick(5075, 75));  // exactly the interval: not yet
    EXPECT_TRUE(pacer.tick(5076, 75));
    EXPECT_FALSE(pacer.tick(5076, 75));  // at most one advance per pass
    EXPECT_EQ(pacer.nextDue(5076, 75), 5152u);
}

TEST(FramePacer, LateFramesDoNotCatchUp) {
    FramePacer pacer;
    pacer.tick(0, 100);
    EXPECT_TRUE(pacer.tick(1000, 100));  // ten intervals late: one advance
    EXPECT_FALSE(pacer.tick(1050, 100));
    EXPECT_TRUE(pacer.tick(1101, 100));
}

TEST(FramePacer, CounterWrapIsAnOrdinaryElapsedTime) {
    FramePacer pacer;
    const uint32_t beforeWrap = 0xFFFFFFFFu - 15u;  // 16 ms before the wrap
    pacer.tick(beforeWrap, 31);
    EXPECT_TRUE(pacer.tick(16u, 31));  // 16 ms after it: 32 elapsed
    EXPECT_EQ(pacer.nextDue(16u, 31), 48u);

    FramePacer slower;
    slower.tick(beforeWrap, 32);
    EXPECT_FALSE(slower.tick(16u, 32));
}
