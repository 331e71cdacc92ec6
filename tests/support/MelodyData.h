#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/assets/Picture.h"
#include "platform/file/WholeFile.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls::test_support {

// The data set with the example melody.
struct MelodyData : TestDataDirectory {
    MelodyData() {
        std::filesystem::copy_file(std::filesystem::path(GLASSFALLS_SOURCE_DIR) / "examples/music.dat", path / "music.dat");
    }
};

// A screenshot or golden as the piece wrote it; empty, and a failure, when it cannot be read.
inline platform::assets::Picture readPicture(const std::filesystem::path& file) {
    std::vector<uint8_t> bytes;
    platform::assets::Picture picture;
    EXPECT_TRUE(platform::readWholeFile(file.string(), bytes) && platform::assets::decodePicture(bytes, picture)) << file;
    return picture;
}

}  // namespace glassfalls::test_support
