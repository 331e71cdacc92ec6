// SPDX-License-Identifier: GPL-3.0-or-later
#include <png.h>

#include <cstdio>
#include <cstring>

#include "platform/assets/Picture.h"

namespace glassfalls::platform::assets {

bool writePngRgb(const std::string& path, const Picture& picture) {
    std::vector<uint8_t> rgb;
    rgb.reserve(picture.texels.size() * 3);
    for (uint32_t texel : picture.texels) {
        rgb.push_back(static_cast<uint8_t>(texel >> 16));
        rgb.push_back(static_cast<uint8_t>(texel >> 8));
        rgb.push_back(static_cast<uint8_t>(texel));
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    // Written beside the target and renamed, so a reader never sees half a picture.
    const std::string partial = path + ".part";
    if (!png_image_write_to_file(&image, partial.c_str(), 0, rgb.data(), 0, nullptr)) {
        std::remove(partial.c_str());
        return false;
    }
    return std::rename(partial.c_str(), path.c_str()) == 0;
}

}  // namespace glassfalls::platform::assets
