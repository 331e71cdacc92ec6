// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/assets/Picture.h"
#include "tests/app/RunProgram.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

using platform::assets::Picture;
using test_support::Outcome;

constexpr int kAdvance = 300;  // a performance past the title, its light mask in place

// The frame of advance kAdvance of the example melody, drawn at `size` with `aspect`.
Picture frameAt(const std::string& size, const std::string& aspect) {
    const auto directory = test_support::tempPath("frame-size-" + size + "-" + aspect);
    const Outcome run = test_support::runProgram(
        "--headless --midi none --frames " + std::to_string(kAdvance) + " --every " + std::to_string(kAdvance) +
        " --size " + size + " --aspect " + aspect + " --screenshots " + directory.string() + " --melody " +
        GLASSFALLS_SOURCE_DIR "/examples/music.dat --data " + test_support::TestDataDirectory::source().string());
    EXPECT_EQ(run.status, 0) << run.output;
    Picture picture = test_support::readPicture(test_support::screenshotPath(directory, kAdvance));
    std::filesystem::remove_all(directory);
    return picture;
}

// The columns [left, left + width) of `picture`.
Picture columns(const Picture& picture, int left, int width) {
    Picture part{width, picture.height, {}};
    for (int y = 0; y < picture.height; ++y) {
        const auto row = picture.texels.begin() + static_cast<std::ptrdiff_t>(y) * picture.width + left;
        part.texels.insert(part.texels.end(), row, row + width);
    }
    return part;
}

// One channel (shift 16, 8 or 0) of every pixel as a number.
std::vector<double> channel(const Picture& picture, int shift) {
    std::vector<double> values;
    for (const uint32_t texel : picture.texels) values.push_back(static_cast<double>(texel >> shift & 0xFF));
    return values;
}

// `picture` resampled to width x height: averaged over the area each new pixel covers when
// it shrinks, interpolated between pixel centres when it grows.
Picture resampled(const Picture& picture, int width, int height) {
    const double sx = static_cast<double>(picture.width) / width, sy = static_cast<double>(picture.height) / height;
    std::vector<double> planes[3];
    for (int c = 0; c < 3; ++c) {
        const std::vector<double> source = channel(picture, 16 - 8 * c);
        auto at = [&](int x, int y) { return source[static_cast<size_t>(y) * picture.width + x]; };
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                double value = 0;
                if (sx > 1) {
                    // The source area [x sx, (x + 1) sx) x [y sy, (y + 1) sy), pixels weighed by overlap.
                    double weight = 0;
                    for (int j = static_cast<int>(y * sy);
                         j < std::min(picture.height, static_cast<int>((y + 1) * sy) + 1); ++j) {
                        const double wy = std::min<double>(j + 1, (y + 1) * sy) - std::max<double>(j, y * sy);
                        if (wy <= 0) continue;
                        for (int i = static_cast<int>(x * sx);
                             i < std::min(picture.width, static_cast<int>((x + 1) * sx) + 1); ++i) {
                            const double wx = std::min<double>(i + 1, (x + 1) * sx) - std::max<double>(i, x * sx);
                            if (wx <= 0) continue;
                            value += wx * wy * at(i, j);
                            weight += wx * wy;
                        }
                    }
                    value /= weight;
                } else {
                    const double fx = std::clamp((x + 0.5) * sx - 0.5, 0.0, picture.width - 1.0);
                    const double fy = std::clamp((y + 0.5) * sy - 0.5, 0.0, picture.height - 1.0);
                    const int i = std::min(static_cast<int>(fx), picture.width - 2);
                    const int j = std::min(static_cast<int>(fy), picture.height - 2);
                    const double u = fx - i, v = fy - j;
                    value = (1 - v) * ((1 - u) * at(i, j) + u * at(i + 1, j)) +
                            v * ((1 - u) * at(i, j + 1) + u * at(i + 1, j + 1));
                }
                planes[c].push_back(value);
            }
        }
    }
    Picture out{width, height, {}};
    for (size_t p = 0; p < planes[0].size(); ++p) {
        uint32_t texel = 0xFF000000u;
        for (int c = 0; c < 3; ++c) texel |= static_cast<uint32_t>(std::lround(planes[c][p])) << (16 - 8 * c);
        out.texels.push_back(texel);
    }
    return out;
}

// How sharp a picture is: the mean squared difference of neighbouring pixels' brightness.
// Spreading an edge over more pixels lowers it, though the edge's height is the same.
double sharpness(const Picture& picture) {
    std::vector<double> light(picture.texels.size());
    for (size_t p = 0; p < light.size(); ++p) {
        const uint32_t t = picture.texels[p];
        light[p] = 0.299 * (t >> 16 & 0xFF) + 0.587 * (t >> 8 & 0xFF) + 0.114 * (t & 0xFF);
    }
    double sum = 0;
    for (int y = 0; y + 1 < picture.height; ++y) {
        for (int x = 0; x + 1 < picture.width; ++x) {
            const size_t p = static_cast<size_t>(y) * picture.width + x;
            const double dx = light[p + 1] - light[p], dy = light[p + picture.width] - light[p];
            sum += dx * dx + dy * dy;
        }
    }
    return sum / static_cast<double>((picture.width - 1) * (picture.height - 1));
}

// At 1920 x 1080 the piece is its own picture drawn with more pixels: between black bars
// (letterbox) the same as at 640 x 480 and sharper; filled, the same in the middle and more
// of the scene at the sides. A frame whose logical screen were misplaced, stretched or
// scaled about the wrong point, or a light mask sampled at the wrong places, fails here.
TEST(FrameSize, AFullHdFrameIsThePiecesPictureWithMorePixels) {
    const Picture small = frameAt("640x480", "letterbox");
    const Picture boxed = frameAt("1920x1080", "letterbox");
    const Picture filled = frameAt("1920x1080", "fill");
    ASSERT_EQ(small.width, 640);
    ASSERT_EQ(boxed.width, 1920);
    ASSERT_EQ(boxed.height, 1080);
    ASSERT_EQ(filled.width, 1920);

    const Picture bars[] = {columns(boxed, 0, 240), columns(boxed, 1680, 240)};
    for (const Picture& bar : bars) {
        for (const uint32_t texel : bar.texels) ASSERT_EQ(texel & 0xFFFFFFu, 0u) << "the bars are black";
    }
    const Picture middle = columns(boxed, 240, 1440);
    const auto shrunk = test_support::frameDifference(resampled(middle, 640, 480).texels, small.texels, 8);
    EXPECT_GE(shrunk.shareWithin, 0.90) << "mean " << shrunk.meanLevels;
    const double sharp = sharpness(middle), blown = sharpness(resampled(small, 1440, 1080));
    EXPECT_GT(sharp, blown);

    const auto same = test_support::frameDifference(columns(filled, 240, 1440).texels, middle.texels, 3);
    EXPECT_GE(same.shareWithin, 0.97) << "mean " << same.meanLevels;
    for (const int left : {0, 1680}) {
        double light = 0;
        for (const uint32_t texel : columns(filled, left, 240).texels) light += texel >> 8 & 0xFF;
        EXPECT_GT(light / (240.0 * 1080.0), 40) << "the sides show the water, not black: " << left;
    }
    std::printf(
        "letterbox shrunk to 640x480: %.1f %% within 8 levels; fill's middle: %.1f %% within 3 of letterbox; "
        "sharpness (mean squared step of brightness) %.1f against %.1f scaled up\n",
        100 * shrunk.shareWithin, 100 * same.shareWithin, sharp, blown);
}

}  // namespace
}  // namespace glassfalls
