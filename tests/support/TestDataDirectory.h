// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace glassfalls::test_support {

// A fresh data directory holding every file the piece requires, removed again afterwards.
struct TestDataDirectory {
    TestDataDirectory() {
        static int serial = 0;
        path = std::filesystem::temp_directory_path() /
               ("glassfalls-data-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(path);
        for (const auto& entry : std::filesystem::directory_iterator(source())) {
            std::filesystem::copy(entry.path(), path / entry.path().filename());
        }
    }
    ~TestDataDirectory() { std::filesystem::remove_all(path); }

    static std::filesystem::path source() { return std::filesystem::path(GLASSFALLS_SOURCE_DIR) / "data"; }

    std::filesystem::path path;
};

}  // namespace glassfalls::test_support
