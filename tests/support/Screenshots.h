// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/assets/Picture.h"
#include "platform/os/WholeFile.h"

namespace glassfalls::test_support {

// Where --screenshots DIR puts the frame of an advance.
inline std::filesystem::path screenshotPath(const std::filesystem::path& directory, int advance) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06d.png", advance);
    return directory / name;
}

// A screenshot or golden as the piece wrote it; empty, and a failure, when it cannot be read.
inline platform::assets::Picture readPicture(const std::filesystem::path& file) {
    std::vector<uint8_t> bytes;
    platform::assets::Picture picture;
    EXPECT_TRUE(platform::readWholeFile(file.string(), bytes) && platform::assets::decodePicture(bytes, picture))
        << file;
    return picture;
}

// How far one frame is from another over the red, green and blue of every pixel; as far as
// can be when they differ in size or are empty.
struct FrameDifference {
    double meanLevels = 255;  // mean absolute difference per channel
    int worstLevels = 255;    // the largest difference of any channel
    size_t pixelsOver = 0;    // pixels with a channel more than `tolerance` levels off
    double shareWithin = 0;   // the share of pixels with none
};

inline FrameDifference frameDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b,
                                       int tolerance = 3) {
    FrameDifference d;
    if (a.size() != b.size() || a.empty()) {
        d.pixelsOver = std::max(a.size(), b.size());
        return d;
    }
    double total = 0;
    d.worstLevels = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int worst = 0;
        for (int shift : {0, 8, 16}) {
            const int level = std::abs(static_cast<int>(a[i] >> shift & 0xFF) - static_cast<int>(b[i] >> shift & 0xFF));
            total += level;
            worst = std::max(worst, level);
        }
        if (worst > tolerance) ++d.pixelsOver;
        d.worstLevels = std::max(d.worstLevels, worst);
    }
    d.meanLevels = total / static_cast<double>(a.size() * 3);
    d.shareWithin = 1.0 - static_cast<double>(d.pixelsOver) / static_cast<double>(a.size());
    return d;
}

}  // namespace glassfalls::test_support
