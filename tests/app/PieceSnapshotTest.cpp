// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PieceSnapshot.h"
#include "tests/app/TestApplication.h"

namespace glassfalls {
namespace {

// A headless piece drawn off-screen for real, following the example melody.
struct MelodyPiece {
    MelodyPiece() {
        StartOptions options = test_support::quietRunOptions();
        options.headless = true;
        options.melodyFile = GLASSFALLS_SOURCE_DIR "/examples/music.dat";
        const auto started = fixture.app.init(options);
        EXPECT_TRUE(started) << started.error();
    }
    // One advance, and the frame it drew.
    std::vector<uint32_t> advance() {
        const uint64_t before = fixture.app.advances();
        while (fixture.app.advances() == before) {
            fixture.clock.advance(1);
            EXPECT_FALSE(fixture.app.pass());
        }
        std::vector<uint32_t> pixels;
        fixture.app.renderDevice.device->readBackBuffer(pixels);
        return pixels;
    }
    std::vector<uint8_t> snapshot(uint64_t advance) const {
        return takeSnapshot(advance, kData, fixture.app.world, fixture.app.director);
    }
    platform::Expected<uint64_t> restore(std::span<const uint8_t> bytes) {
        return restoreSnapshot(bytes, kData, fixture.app.world, fixture.app.director, *fixture.app.renderDevice.device);
    }
    static constexpr uint64_t kData = 0x5EED;
    test_support::OffscreenApplication fixture;
};

// A piece restored from a snapshot, anywhere in the title, at the hand-over or in the
// performance, draws the frames the piece it was taken from goes on to draw, to the byte.
TEST(PieceSnapshot, ARestoredPieceDrawsTheFramesTheOriginalGoesOnToDraw) {
    constexpr int kFramesAfter = 20;
    for (const uint64_t taken : {60u, 127u, 128u, 230u}) {
        std::vector<uint8_t> bytes;
        std::vector<std::vector<uint32_t>> expected;
        {
            MelodyPiece original;
            for (uint64_t i = 0; i < taken; ++i) original.advance();
            bytes = original.snapshot(taken);
            EXPECT_EQ(original.snapshot(taken), bytes) << "the same piece gives the same bytes";
            for (int i = 0; i < kFramesAfter; ++i) expected.push_back(original.advance());
        }
        MelodyPiece restored;
        // Somewhere else in the piece first: the snapshot replaces all of it.
        for (int i = 0; i < 20; ++i) restored.advance();
        const auto advance = restored.restore(bytes);
        ASSERT_TRUE(advance) << advance.error();
        EXPECT_EQ(*advance, taken);
        int differing = 0;
        for (int i = 0; i < kFramesAfter; ++i) differing += restored.advance() != expected[static_cast<size_t>(i)];
        EXPECT_EQ(differing, 0) << "of " << kFramesAfter << " frames after a snapshot at " << taken;
    }
}

// Bytes that are not a snapshot of this piece are refused with the reason, and a good
// snapshot restores after them.
TEST(PieceSnapshot, WhatIsNotThisPiecesSnapshotIsRefused) {
    MelodyPiece piece;
    for (int i = 0; i < 130; ++i) piece.advance();
    const std::vector<uint8_t> good = piece.snapshot(130);
    auto changed = [&good](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    const std::vector<std::pair<std::vector<uint8_t>, std::string>> cases = {
        {{}, "not one"},
        {changed(4, 9), "format 9"},
        {changed(12, '9'), "this machine runs"},
        {changed(17, 0x77), "another data set"},  // after the magic, the format and "0.1.0"
        {std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)), "cut short"},
        {longer, "bytes more"},
    };
    for (const auto& [bytes, reason] : cases) {
        const auto restored = piece.restore(bytes);
        ASSERT_FALSE(restored) << reason;
        EXPECT_NE(restored.error().find(reason), std::string::npos) << restored.error();
    }
    EXPECT_TRUE(piece.restore(good));
}

}  // namespace
}  // namespace glassfalls
