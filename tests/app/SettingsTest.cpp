// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/Settings.h"
#include "tests/support/TempPath.h"

using namespace glassfalls;

TEST(Settings, CompleteFileGivesHostAndPort) {
    const Settings s = parseSettings("[IP]\n192.168.1.20\n[Port]\n4000\n");
    EXPECT_EQ(s.host, "192.168.1.20");
    EXPECT_EQ(s.port, 4000);
}

TEST(Settings, CarriageReturnsBeforeLineFeedsAreDropped) {
    const Settings s = parseSettings("[IP]\r\nserver\r\n[Port]\r\n2000\r\n");
    EXPECT_EQ(s.host, "server");
    EXPECT_EQ(s.port, 2000);
}

TEST(Settings, UnterminatedSectionLineIsNeverExamined) {
    const Settings s = parseSettings("[IP]");
    EXPECT_EQ(s.host, "test");
    EXPECT_EQ(s.port, 1000);
    EXPECT_EQ(parseSettings("[Port]").port, 1000);
}

TEST(Settings, UnterminatedValueLineIsTakenWhole) {
    EXPECT_EQ(parseSettings("[IP]\nlast host ").host, "last host ");
    EXPECT_EQ(parseSettings("[Port]\n77").port, 77);
}

TEST(Settings, PortFollowsAtoiRules) {
    EXPECT_EQ(parseSettings("[Port]\nletters\n").port, 0);
    EXPECT_EQ(parseSettings("[Port]\n 2000x\n").port, 2000);
    EXPECT_EQ(parseSettings("[Port]\n\t-12\n").port, -12);
    EXPECT_EQ(parseSettings("[Port]\n+9\n").port, 9);
    EXPECT_EQ(parseSettings("[Port]\n- 9\n").port, 0);
    EXPECT_EQ(parseSettings("[Port]\n99999999999999999999\n").port, INT32_MAX);
}

TEST(Settings, LaterSectionsOverrideAndOnlyExactSectionLinesCount) {
    EXPECT_EQ(parseSettings("[IP]\nfirst\n[IP]\nsecond\n").host, "second");
    EXPECT_EQ(parseSettings("[ip]\nlower\n").host, "test");
    EXPECT_EQ(parseSettings("[IP] \ntrailing\n").host, "test");
    EXPECT_EQ(parseSettings(" [Port]\n5\n").port, 1000);
    // A value line is consumed even if it looks like a section line.
    EXPECT_EQ(parseSettings("[IP]\n[Port]\n5\n").host, "[Port]");
    EXPECT_EQ(parseSettings("[IP]\n[Port]\n5\n").port, 1000);
}

TEST(Settings, OverlongLinesAreTruncatedWithoutSpillingIntoTheNextLine) {
    const std::string longHost(300, 'h');
    const Settings s = parseSettings("[IP]\n" + longHost + "\n[Port]\n3\n");
    EXPECT_EQ(s.host, std::string(kMaxSettingsLine, 'h'));
    EXPECT_EQ(s.port, 3);
    // An overlong line whose first 255 characters spell nothing is ignored whole.
    EXPECT_EQ(parseSettings(std::string(255, 'x') + "[IP]\nnot-a-host\n").host, "test");
}

TEST(Settings, MissingFileGivesNothingAndRealFileIsRead) {
    const auto dir = test_support::tempPath("settings-test");
    std::filesystem::create_directories(dir);
    const auto path = (dir / "glassFalls.ini").string();
    std::filesystem::remove(path);
    EXPECT_FALSE(readSettingsFile(path));

    std::ofstream(path, std::ios::binary) << "[IP]\r\nhost\r\n[Port]\r\n1234";
    const auto settings = readSettingsFile(path);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->host, "host");
    EXPECT_EQ(settings->port, 1234);
    std::filesystem::remove_all(dir);
}
