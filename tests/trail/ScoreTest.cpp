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
    auto score = readScore(bytesOf(text), bytesOf(text));
    EXPECT_TRUE(score) << score.error();
    if (!score) return {};
    EXPECT_EQ(score->count, static_cast<int32_t>(score->entries.size()));
    return *score;
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
    const auto score = readScore(bytesOf(before), bytesOf(after));
    ASSERT_TRUE(score) << score.error();
    EXPECT_EQ(score->count, 1);
    ASSERT_EQ(score->entries.size(), 1u);
}

TEST(Score, AMissingFileIsAFailureNamingIt) {
    const auto missing = loadScore("/nonexistent/music.dat");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), "cannot read the melody file /nonexistent/music.dat");

    const auto path = test_support::tempPath("score-test.dat");
    std::ofstream(path) << "x\n64\n255\n8\n";
    const auto score = loadScore(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(score) << score.error();
    EXPECT_EQ(score->count, 1);
}

TEST(Score, TheExampleMelodyReads) {
    const auto score = loadScore(std::string(GLASSFALLS_SOURCE_DIR) + "/examples/music.dat");
    ASSERT_TRUE(score) << score.error();
    EXPECT_EQ(score->count, 49);
}

}  // namespace
}  // namespace glassfalls
