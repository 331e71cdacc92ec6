// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "math/TrigTables.h"

using namespace glassfalls;

TEST(TrigTables, WholeDegreesOfTheStoredFactor) {
    fillTrigTables();
    EXPECT_EQ(SinTable[0], 0.0f);
    EXPECT_EQ(CosTable[0], 1.0f);
    EXPECT_EQ(SinTable[90], 1.0f);
    // The stored factor is a little above pi/180, so 90 degrees overshoots a right angle.
    EXPECT_GT(CosTable[90], 3.0e-7f);
    EXPECT_LT(CosTable[90], 4.0e-7f);
    EXPECT_NEAR(SinTable[30], 0.5f, 1e-7f);
    EXPECT_NEAR(CosTable[180], -1.0f, 1e-7f);
    EXPECT_NEAR(SinTable[270], -1.0f, 1e-7f);
    for (int i = 0; i < 360; ++i) {
        const double radians = i * static_cast<double>(0.017453289f);
        EXPECT_FLOAT_EQ(SinTable[i], static_cast<float>(std::sin(radians))) << i;
        EXPECT_FLOAT_EQ(CosTable[i], static_cast<float>(std::cos(radians))) << i;
    }
}
