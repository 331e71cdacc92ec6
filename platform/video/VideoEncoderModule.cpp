// SPDX-License-Identifier: GPL-3.0-or-later
#include <dlfcn.h>

#include <filesystem>

#include "platform/video/VideoEncoder.h"

namespace glassfalls::platform {

namespace {

// Next to the program in the build tree; in PREFIX/GLASSFALLS_MODULE_DIR when installed.
std::filesystem::path modulePath() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::path folder = fs::read_symlink("/proc/self/exe", ignored).parent_path();
    const fs::path beside = folder / "glassfalls-video.so";
    if (fs::exists(beside, ignored)) return beside;
    return folder.parent_path() / GLASSFALLS_MODULE_DIR / "glassfalls-video.so";
}

}  // namespace

Expected<std::unique_ptr<VideoEncoder>> makeVideoEncoder() {
    // Loaded once and kept: the encoders it makes are its code.
    static void* module = nullptr;
    const std::filesystem::path path = modulePath();
    if (!module) module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* reason = dlerror();
        return failure("cannot record video: " + std::string(reason ? reason : path.string()));
    }
    auto* make = reinterpret_cast<MakeVideoEncoder*>(dlsym(module, kMakeVideoEncoderSymbol));
    if (!make) {
        return failure("cannot record video: " + path.string() + " is not the video module");
    }
    return std::unique_ptr<VideoEncoder>(make());
}

}  // namespace glassfalls::platform
