// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace glassfalls::test_support {

// A path in the temporary directory that no other test process uses: tests run in
// parallel, and each test program may run beside another.
inline std::filesystem::path tempPath(const std::string& name) {
    return std::filesystem::temp_directory_path() / ("glassfalls-" + std::to_string(::getpid()) + "-" + name);
}

}  // namespace glassfalls::test_support
