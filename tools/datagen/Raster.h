// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/datagen/Expected.h"

namespace datagen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;  // 0 … 1
};

// A picture in linear floating point, row 0 at the top, written out as BMP or PNG.
struct Raster {
    Raster(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
    Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }

    int width;
    int height;
    std::vector<Rgba> pixels;
};

inline uint8_t toByte(float v) { return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

inline float mix(float a, float b, float t) { return a + (b - a) * t; }
inline float smoothstep(float e0, float e1, float x) {
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// 24-bit bottom-up BMP, rows padded to four bytes. Alpha is dropped.
Expected<void> writeBmp(const Raster& picture, const std::string& path);
// 8-bit RGBA PNG with no time stamp, so the bytes depend on the pixels alone.
Expected<void> writePng(const Raster& picture, const std::string& path);

}  // namespace datagen
