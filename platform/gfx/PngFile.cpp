#include <png.h>

#include <cstdio>
#include <cstring>

#include "platform/gfx/Picture.h"

namespace glassfalls::platform::gfx {

bool decodePng(std::span<const uint8_t> file, Picture& picture) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
    if (image.width == 0 || image.height == 0 || image.width > kMaxPictureSide ||
        image.height > kMaxPictureSide) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.texels.resize(rgba.size() / 4);
    for (size_t i = 0; i < picture.texels.size(); ++i) {
        const uint8_t* p = &rgba[i * 4];
        picture.texels[i] = static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[0]) << 16 |
                            static_cast<uint32_t>(p[1]) << 8 | p[2];
    }
    return true;
}

bool decodePicture(std::span<const uint8_t> file, Picture& picture) {
    static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() >= 8 && std::memcmp(file.data(), kPngSignature, 8) == 0) {
        return decodePng(file, picture);
    }
    return decodeBmp(file, picture);
}

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

}  // namespace glassfalls::platform::gfx
