// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/TempPath.h"
#include "trail/Score.h"

namespace glassfalls {
namespace {

std::span<const uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

Score read(const std::string& text) {
    Score score;
    EXPECT_TRUE(readScore(bytesOf(text), bytesOf(text), score));
    EXPECT_EQ(score.count, static_cast<int32_t>(score.entries.size()));
    return score;
}

TEST(Score, GroupsOfFourLinesBecomeEntries) {
    const Score score = read("C\n64\n255\n8\nrest\n255\n0\n4\n");
    ASSERT_EQ(score.count, 2);
    EXPECT_EQ(score.entries[0].note, 64);
    EXPECT_EQ(score.entries[0].level, 255);
    EXPECT_EQ(score.entries[0].duration, 8);
    EXPECT_EQ(score.entries[1].note, ScoreEntry::kRest) << "a rest that still lasts";
    EXPECT_EQ(score.entries[1].duration, 4);
}

TEST(Score, AnEmptyFileHoldsNoEntriesButIsPresent) {
    const Score score = read("");
    EXPECT_TRUE(score.present);
    EXPECT_EQ(score.count, 0);
}

TEST(Score, OnlyWholeGroupsEndingInLineFeedsCount) {
    EXPECT_EQ(read("a\n64\n255\n8\nb\n72\n200\n2").count, 1) << "last line without its line feed";
    for (const char* extra : {"x\n", "x\n1\n", "x\n1\n2\n"}) {
        EXPECT_EQ(read(std::string("a\n64\n255\n8\n") + extra).count, 1) << "4k + " << extra;
    }
}

TEST(Score, NumbersAreReadLikeAtoiAndKeptToEightBits) {
    const Score score = read("label\n  72 word\n300\n0\nlabel\n-1\nloud\n-3\n");
    ASSERT_EQ(score.count, 2);
    EXPECT_EQ(score.entries[0].note, 72);
    EXPECT_EQ(score.entries[0].level, 300 & 0xFF);
    EXPECT_EQ(score.entries[0].duration, 0);
    EXPECT_EQ(score.entries[1].note, 255) << "-1 is a rest";
    EXPECT_EQ(score.entries[1].level, 0) << "no digits";
    EXPECT_EQ(score.entries[1].duration, -3);
}

TEST(Score, CarriageReturnsAndOverlongLinesAreHarmless) {
    const std::string longLabel(1000, 'x');
    const Score score = read(longLabel + "\r\n67\r\n" + std::string(300, ' ') + "9\r\n5\r\n");
    ASSERT_EQ(score.count, 1);
    EXPECT_EQ(score.entries[0].note, 67);
    EXPECT_EQ(score.entries[0].level, 0) << "the number lies past the 255 characters kept";
    EXPECT_EQ(score.entries[0].duration, 5);
}

TEST(Score, AFileThatShrankBetweenThePassesStoresOnlyWhatItHolds) {
    const std::string before = "a\n64\n255\n8\nb\n72\n200\n2\nc\n80\n100\n1\n";
    const std::string after = "a\n64\n255\n8\nb\n72\n";
    Score score;
    ASSERT_TRUE(readScore(bytesOf(before), bytesOf(after), score));
    EXPECT_EQ(score.count, 1);
    ASSERT_EQ(score.entries.size(), 1u);
}

TEST(Score, AMissingFileLeavesNoScore) {
    Score score;
    EXPECT_FALSE(loadScore("/nonexistent/music.dat", score));
    EXPECT_FALSE(score.present);

    const auto path = test_support::tempPath("score-test.dat");
    std::ofstream(path) << "x\n64\n255\n8\n";
    EXPECT_TRUE(loadScore(path.string(), score));
    EXPECT_EQ(score.count, 1);
    std::filesystem::remove(path);
}

TEST(Score, TheExampleMelodyReads) {
    Score score;
    ASSERT_TRUE(loadScore(std::string(GLASSFALLS_SOURCE_DIR) + "/examples/music.dat", score));
    EXPECT_EQ(score.count, 49);
}

}  // namespace
}  // namespace glassfalls
