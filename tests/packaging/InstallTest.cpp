// SPDX-License-Identifier: GPL-3.0-or-later
// The installed piece: every file where a gallery's technician will look for it, and a
// program that finds its data from any working directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/Backends.h"
#include "tests/support/OnPath.h"
#include "tests/support/TempPath.h"

namespace glassfalls {
namespace {

namespace fs = std::filesystem;

TEST(Install, EverythingLandsInItsPlaceAndThePieceRunsFromAnywhere) {
    // The package is built with every backend; the installed run records a video.
    GLASSFALLS_SKIP_WITHOUT(kWithVideo, "video recording");
    GLASSFALLS_SKIP_WITHOUT(kWithPictureLink, "picture link");
    const fs::path prefix = test_support::tempPath("prefix");
    ASSERT_EQ(
        std::system(("cmake --install " GLASSFALLS_BINARY_DIR " --prefix " + prefix.string() + " > /dev/null").c_str()),
        0);
    for (const char* file :
         {"bin/glassfalls", "bin/glassfalls-picture-server", GLASSFALLS_MODULE_DIR "/glassfalls-video.so",
          "share/glassfalls/data/title.x", "share/glassfalls/data/ground.bmp", "share/man/man1/glassfalls.1.gz",
          "share/man/man1/glassfalls-picture-server.1.gz", "share/doc/glassfalls/copyright",
          "share/doc/glassfalls/changelog.gz", "share/applications/glassfalls.desktop",
          "share/applications/glassfalls-windowed.desktop", "share/icons/hicolor/256x256/apps/glassfalls.png",
          "lib/systemd/user/glassfalls.service"}) {
        EXPECT_TRUE(fs::exists(prefix / file)) << file;
    }
    // From a folder without `data`, the installed data set is found beside the program, and
    // the video module where it was installed.
    const fs::path video = test_support::tempPath("installed.mkv");
    const std::string run = "cd / && " + (prefix / "bin/glassfalls").string() + " --headless --frames 150 --video " +
                            video.string() + " > /dev/null 2>&1";
    EXPECT_EQ(std::system(run.c_str()), 0);
    EXPECT_TRUE(fs::exists(video));
    fs::remove(video);
    if (test_support::onPath("desktop-file-validate")) {
        EXPECT_EQ(std::system(("desktop-file-validate " + (prefix / "share/applications/glassfalls.desktop").string() +
                               " " + (prefix / "share/applications/glassfalls-windowed.desktop").string())
                                  .c_str()),
                  0);
    }
    // The unit's program must exist, so it is checked where it was installed.
    if (test_support::onPath("systemd-analyze")) {
        EXPECT_EQ(std::system(
                      ("systemd-analyze verify " + (prefix / "lib/systemd/user/glassfalls.service").string()).c_str()),
                  0);
    }
    fs::remove_all(prefix);
}

}  // namespace
}  // namespace glassfalls
