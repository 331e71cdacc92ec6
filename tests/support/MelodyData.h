// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

#include "tests/support/TestDataDirectory.h"

namespace glassfalls::test_support {

// The data set with the example melody.
struct MelodyData : TestDataDirectory {
    MelodyData() {
        std::filesystem::copy_file(std::filesystem::path(GLASSFALLS_SOURCE_DIR) / "examples/music.dat",
                                   path / "music.dat");
    }
};

}  // namespace glassfalls::test_support
