// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Screenshots.h"

#include <cstdio>
#include <filesystem>

#include "platform/assets/Picture.h"

namespace glassfalls {

platform::Expected<void> Screenshots::open(const std::string& directory, uint64_t every) {
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    if (code || !std::filesystem::is_directory(directory)) {
        return platform::failure("cannot use " + directory +
                                 " for screenshots: " + (code ? code.message() : "not a directory"));
    }
    directory_ = directory;
    every_ = every == 0 ? 1 : every;
    return {};
}

std::string Screenshots::fileName(uint64_t advance) {
    char name[40];
    std::snprintf(name, sizeof name, "frame-%06llu.png", static_cast<unsigned long long>(advance));
    return name;
}

void Screenshots::take(uint64_t advance, int width, int height, std::vector<uint32_t>& texels) {
    if (!wants(advance)) return;
    platform::assets::Picture frame{width, height, {}};
    frame.texels.swap(texels);
    const std::string path = directory_ + "/" + fileName(advance);
    const bool written = platform::assets::writePngRgb(path, frame);
    frame.texels.swap(texels);
    if (!written) {
        std::fprintf(stderr, "glassfalls: cannot write %s; no more screenshots\n", path.c_str());
        every_ = 0;
    }
}

}  // namespace glassfalls
