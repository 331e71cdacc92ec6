// SPDX-License-Identifier: GPL-3.0-or-later
// The piece drawn through each renderer: the shader pipelines against the fixed-function
// one, frame by frame, and drivers that offer too little for the one asked for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/app/RunProgram.h"
#include "tests/support/MelodyData.h"
#include "tests/support/Screenshots.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

namespace fs = std::filesystem;
using test_support::MelodyData;
using test_support::Outcome;
using test_support::readPicture;
using test_support::runProgram;

// 400 advances of the example melody, every 20th kept: the title, its light on the water, the
// performers' trails with their mirror images, shadows and rings, each frame against compat's.
// With Mesa told to offer a Raspberry Pi's desktop OpenGL (2.1), auto takes es. An ES driver
// without clip distances has the mirror pass's fragments above the water dropped instead.
TEST(Renderers, TheShaderPipelinesDrawTheMelodyAsTheFixedFunctionOneDoes) {
    if (!test_support::rendererArgument().empty()) GTEST_SKIP() << "draws through every renderer already";
    MelodyData data;
    auto run = [&](const std::string& renderer, const std::string& environment) {
        const fs::path shots = test_support::tempPath("renderer-" + renderer);
        const Outcome outcome = runProgram("--headless --frames 400 --every 20 --midi none --renderer " + renderer +
                                               " --data " + data.path.string() + " --screenshots " + shots.string(),
                                           environment);
        EXPECT_EQ(outcome.status, 0) << renderer << ": " << outcome.output;
        return std::make_pair(shots, outcome.output);
    };
    const auto [compat, compatSaid] = run("compat", "");
    EXPECT_EQ(compatSaid, "");
    const struct {
        const char* renderer;
        const char* environment;
    } cases[] = {{"core", ""},
                 {"es", ""},
                 {"auto", "MESA_GL_VERSION_OVERRIDE=2.1"},
                 {"es", "MESA_EXTENSION_OVERRIDE=-GL_EXT_clip_cull_distance"}};
    for (const auto& c : cases) {
        const auto [shots, said] = run(c.renderer, c.environment);
        if (std::string(c.renderer) == "auto") {
            EXPECT_EQ(said.rfind("glassfalls: renderer es (OpenGL ES 3.", 0), 0u) << said;
        } else {
            EXPECT_EQ(said, "") << c.renderer;
        }
        for (int advance = 20; advance <= 400; advance += 20) {
            const test_support::FrameDifference d =
                test_support::frameDifference(readPicture(test_support::screenshotPath(compat, advance)).texels,
                                              readPicture(test_support::screenshotPath(shots, advance)).texels);
            EXPECT_GE(d.shareWithin, 0.99) << c.renderer << " " << c.environment << " advance " << advance;
            EXPECT_LE(d.meanLevels, 0.5) << c.renderer << " " << c.environment << " advance " << advance;
        }
        fs::remove_all(shots);
    }
    fs::remove_all(compat);
}

// A driver offering less than the renderer asked for: one line naming both, status 2. Auto
// goes on to the next and says why it passed over the others; with none left it fails.
TEST(Renderers, ADriverOfferingTooLittleIsNamedInOneLine) {
    const std::string data = "--data " + test_support::TestDataDirectory::source().string();
    const struct {
        const char* renderer;
        const char* environment;
        int status;
        const char* said;
    } cases[] = {
        {"compat", "MESA_GL_VERSION_OVERRIDE=2.1", 2, "OpenGL 3.0 or later is needed, the driver offers OpenGL 2.1"},
        {"core", "MESA_GL_VERSION_OVERRIDE=2.1", 2, "OpenGL 3.3 core or later is needed, the driver offers OpenGL 2.1"},
        {"es", "MESA_GLES_VERSION_OVERRIDE=2.0", 2,
         "OpenGL ES 3.0 or later is needed, the driver offers OpenGL ES 2.0"},
        {"auto", "MESA_GL_VERSION_OVERRIDE=2.1 MESA_GLES_VERSION_OVERRIDE=2.0", 1,
         "no renderer the driver can give (compat: OpenGL 3.0 or later is needed, the driver offers OpenGL 2.1"},
    };
    for (const auto& c : cases) {
        const Outcome run = runProgram(
            "--headless --frames 2 --midi none --renderer " + std::string(c.renderer) + " " + data, c.environment);
        EXPECT_EQ(run.status, c.status) << c.renderer << ": " << run.output;
        EXPECT_NE(run.output.find(c.said), std::string::npos) << c.renderer << ": " << run.output;
        EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << c.renderer << ": " << run.output;
    }
    EXPECT_NE(runProgram("--renderer vulkan").output.find("--renderer: must be auto, compat, core or es"),
              std::string::npos);
}

}  // namespace
}  // namespace glassfalls
