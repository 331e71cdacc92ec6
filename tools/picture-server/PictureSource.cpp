// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/picture-server/PictureSource.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/assets/Picture.h"
#include "platform/os/WholeFile.h"

namespace picture_server {

namespace fs = std::filesystem;
using glassfalls::platform::assets::Picture;

namespace {

class Slideshow final : public PictureSource {
public:
    explicit Slideshow(std::vector<PictureBytes> pictures) : pictures_(std::move(pictures)) {}
    const PictureBytes& next() override {
        const PictureBytes& picture = pictures_[next_];
        next_ = (next_ + 1) % pictures_.size();
        return picture;
    }

private:
    std::vector<PictureBytes> pictures_;
    size_t next_ = 0;
};

class Pattern final : public PictureSource {
public:
    const PictureBytes& next() override {
        picture_.assign(kPictureBytes, 0);
        const double turn = static_cast<double>(frame_++) * 0.15;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const double dx = x - 63.5, dy = y - 63.5;
                const double r = std::sqrt(dx * dx + dy * dy);
                const double a = std::atan2(dy, dx);
                uint8_t* p = &picture_[static_cast<size_t>((y * kSide + x) * 3)];
                p[0] = static_cast<uint8_t>(127.5 + 127.5 * std::sin(r * 0.25 - turn));
                p[1] = static_cast<uint8_t>(127.5 + 127.5 * std::sin(a * 3 + turn));
                p[2] = static_cast<uint8_t>(127.5 + 127.5 * std::cos(r * 0.1 + a + turn * 0.5));
            }
        }
        return picture_;
    }

private:
    PictureBytes picture_;
    uint64_t frame_ = 0;
};

bool isPictureFile(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension == ".png" || extension == ".bmp";
}

}  // namespace

PictureBytes scaleToPicture(int width, int height, const std::vector<uint32_t>& texels) {
    PictureBytes out(kPictureBytes, 0);
    for (int y = 0; y < kSide; ++y) {
        const int top = y * height / kSide, bottom = std::max(top + 1, (y + 1) * height / kSide);
        for (int x = 0; x < kSide; ++x) {
            const int left = x * width / kSide, right = std::max(left + 1, (x + 1) * width / kSide);
            uint64_t sum[3] = {0, 0, 0}, count = 0;
            for (int j = top; j < bottom && j < height; ++j) {
                for (int i = left; i < right && i < width; ++i) {
                    const uint32_t t =
                        texels[static_cast<size_t>(j) * static_cast<size_t>(width) + static_cast<size_t>(i)];
                    sum[0] += (t >> 16) & 0xFF;
                    sum[1] += (t >> 8) & 0xFF;
                    sum[2] += t & 0xFF;
                    ++count;
                }
            }
            for (int k = 0; k < 3 && count; ++k) {
                out[static_cast<size_t>((y * kSide + x) * 3 + k)] = static_cast<uint8_t>(sum[k] / count);
            }
        }
    }
    return out;
}

glassfalls::platform::Expected<std::unique_ptr<PictureSource>> openPictureFiles(const std::string& path) {
    std::vector<fs::path> files;
    std::error_code code;
    if (fs::is_directory(path, code)) {
        for (const auto& entry : fs::directory_iterator(path, code)) {
            if (entry.is_regular_file() && isPictureFile(entry.path())) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
    } else {
        files.push_back(path);
    }
    std::vector<PictureBytes> pictures;
    std::string unreadable;
    for (const fs::path& file : files) {
        std::vector<uint8_t> bytes;
        Picture picture;
        if (!glassfalls::platform::readWholeFile(file.string(), bytes) ||
            !glassfalls::platform::assets::decodePicture(bytes, picture)) {
            unreadable = "cannot read the picture " + file.string();
            continue;
        }
        pictures.push_back(scaleToPicture(picture.width, picture.height, picture.texels));
    }
    // Pictures that cannot be read are passed over while others can be shown.
    if (pictures.empty()) {
        return glassfalls::platform::failure(unreadable.empty() ? "no PNG or BMP pictures in " + path : unreadable);
    }
    return std::make_unique<Slideshow>(std::move(pictures));
}

std::unique_ptr<PictureSource> makePattern() { return std::make_unique<Pattern>(); }

}  // namespace picture_server
