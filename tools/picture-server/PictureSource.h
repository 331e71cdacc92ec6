// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/Expected.h"

namespace picture_server {

inline constexpr int kSide = 128;
inline constexpr size_t kPictureBytes = kSide * kSide * 3;

// 128 x 128 RGB pictures, row 0 first, three bytes a pixel: what the piece shows on its floor.
using PictureBytes = std::vector<uint8_t>;

// Where the pictures come from; the server asks for the next one at every send.
class PictureSource {
public:
    virtual ~PictureSource() = default;
    virtual const PictureBytes& next() = 0;
};

// Every PNG or BMP file in `folder` (in name order), or the one file `path`, scaled to
// 128 x 128, shown in turn and looping. Fails when no picture could be read.
glassfalls::platform::Expected<std::unique_ptr<PictureSource>> openPictureFiles(const std::string& path);

// A slowly turning pattern of coloured rings, drawn anew for every picture.
std::unique_ptr<PictureSource> makePattern();

// Scales a picture of 0xAARRGGBB texels to 128 x 128 by averaging the texels each pixel covers.
PictureBytes scaleToPicture(int width, int height, const std::vector<uint32_t>& texels);

}  // namespace picture_server
