// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DataDirectory.h"

#include <filesystem>

namespace glassfalls {

std::string defaultDataDirectory(const std::string& executable) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory("data", error)) return "data";
    const fs::path installed = fs::path(executable).parent_path().parent_path() / "share" / "glassfalls" / "data";
    if (fs::is_directory(installed, error)) return installed.string();
    return "data";
}

}  // namespace glassfalls
