// SPDX-License-Identifier: GPL-3.0-or-later
// The title model: its drop, its sphere mapping, its shadow, and the model files it must
// refuse without crashing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "math/MatrixBuilders.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/WholeFile.h"
#include "render/SphereMap.h"
#include "render/TitleMesh.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "tests/support/TempPath.h"
#include "tests/support/TestDataDirectory.h"

namespace glassfalls {
namespace {

using namespace platform::gfx;

// One triangle lying in the water plane, wound clockwise seen from above, with `material`.
std::string oneTriangle(const std::string& material, const std::string& indices = "0,1,2") {
    return "xof 0303txt 0032\n" + material +
           "Mesh Tri {\n 3;\n -1.0;0.0;-1.0;,\n 0.0;0.0;1.0;,\n 1.0;0.0;-1.0;;\n"
           " 1;\n 3;" +
           indices +
           ";;\n"
           " MeshMaterialList {\n  1;\n  1;\n  0;;\n  {Glass}\n }\n}\n";
}

const std::string kTexturedMaterial =
    "Material Glass {\n 1.0;1.0;1.0;1.0;;\n 10.0;\n 1.0;1.0;1.0;;\n 0.0;0.0;0.0;;\n"
    " TextureFilename {\n  \"skin.bmp\";\n }\n}\n";
const std::string kPlainMaterial = "Material Glass {\n 1.0;1.0;1.0;1.0;;\n 10.0;\n 1.0;1.0;1.0;;\n 0.0;0.0;0.0;;\n}\n";

class TitleMeshTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(device, nullptr); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string write(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder / name, std::ios::binary) << text;
        return (folder / name).string();
    }

    // Pixels only where a test needs them.
    std::unique_ptr<GraphicsDevice> device = std::make_unique<RecordingDevice>();
    std::filesystem::path folder = test_support::tempPath("models");
    TitleMesh title;
};

TEST_F(TitleMeshTest, DropsTwentyThreeFramesThenLandsAndSinksEverSlower) {
    for (int i = 0; i < 23; ++i) title.step();
    EXPECT_FLOAT_EQ(title.dropOffset, -2.0f);
    EXPECT_FALSE(title.landed);
    title.step();
    EXPECT_TRUE(title.landed);
    EXPECT_FLOAT_EQ(title.dropStep, 2.4f);
    EXPECT_FLOAT_EQ(title.dropOffset, -4.4f);
    EXPECT_FLOAT_EQ(title.fade, 0.985f);
    for (int i = 0; i < 20; ++i) title.step();
    EXPECT_FLOAT_EQ(title.dropStep, 0.08f);
    const float before = title.dropOffset;
    title.step();
    EXPECT_FLOAT_EQ(title.dropStep, 0.08f) << "the floor holds";
    EXPECT_FLOAT_EQ(title.dropOffset, before - 0.08f);
}

TEST(SphereMapCoordinates, FollowTheNormalThroughTheMatrix) {
    struct Case {
        float nx, ny, nz, u, v;
    };
    for (const Case c : {Case{0, 0, -1, 0.5f, 0.5f}, Case{1, 0, 0, 1.0f, 0.5f}, Case{0, 1, 0, 0.5f, 0.0f}}) {
        float u = 0, v = 0;
        sphereMapCoordinates({c.nx, c.ny, c.nz}, Matrix4::identity(), u, v);
        EXPECT_FLOAT_EQ(u, c.u) << c.nx << c.ny << c.nz;
        EXPECT_FLOAT_EQ(v, c.v) << c.nx << c.ny << c.nz;
    }
}

// The committed model loads in its own frame: the lettering lies in the water plane,
// 64 wide, and its recomputed normals point out of the letters' tops.
TEST_F(TitleMeshTest, TheCommittedTitleLoadsWithItsSkinAndOutwardNormals) {
    const auto data = test_support::TestDataDirectory::source();
    const auto made = title.loadModel((data / "title.x").string());
    ASSERT_TRUE(made) << made.error();
    const auto skinned = title.skin.loadFromFile(*device, (data / "title.bmp").string());
    EXPECT_TRUE(skinned) << skinned.error();
    ASSERT_EQ(title.materialCount, 1u);
    EXPECT_EQ(title.faceCount * 3, static_cast<int32_t>(title.triangles.size()));
    EXPECT_LT(title.vertexCount, title.faceCount * 3) << "identical vertices are joined";
    float minX = 1e9f, maxX = -1e9f;
    int upward = 0, topVertices = 0;
    for (const platform::assets::MeshVertex& v : title.triangles) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        if (v.y == 3.0f && v.nx == 0.0f && v.nz == 0.0f) {
            ++topVertices;
            upward += v.ny > 0.99f;
        }
    }
    EXPECT_NEAR(maxX - minX, 64.0f, 1.0f);
    EXPECT_GT(topVertices, 100);
    EXPECT_EQ(upward, topVertices) << "flat tops face up, not into the letters";
}

TEST_F(TitleMeshTest, AOneTriangleModelKeepsItsMaterial) {
    const auto loaded = title.loadModel(write("plain.x", oneTriangle(kPlainMaterial)));
    ASSERT_TRUE(loaded) << loaded.error();
    ASSERT_EQ(title.materialCount, 1u);
    EXPECT_EQ(title.faceCount, 1);
    EXPECT_EQ(title.materials[0].power, 10.0f);
}

// Drawn from above: the shadow darkens the water under the model until it lands.
TEST_F(TitleMeshTest, TheShadowFallsOnlyBeforeLanding) {
    device = test_support::openOffscreenDevice();
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(title.loadModel(write("tri.x", oneTriangle(kPlainMaterial))));
    device->setTransform(TransformState::View, matrixLookAtLH({0, 10, -0.01f}, {0, 0, 0}, {0, 1, 0}));
    device->setTransform(TransformState::Projection, matrixPerspectiveFovLH(0.78539819f, 640.0f / 480.0f, 1, 100));
    auto shadowAtCentre = [&] {
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFFFFFFFFu, 1.0f, 0);
        EXPECT_TRUE(device->beginScene());
        title.drawShadow(*device, Matrix4::identity());
        device->endScene();
        return test_support::Frame(*device).at(320, 240);
    };
    EXPECT_NE(shadowAtCentre(), 0xFFFFFFu) << "before landing";
    while (!title.landed) title.step();
    EXPECT_EQ(shadowAtCentre(), 0xFFFFFFu) << "after landing";
}

// Each of these is refused with a reason; none crashes or reads out of bounds.
TEST_F(TitleMeshTest, BrokenModelFilesAreRefused) {
    std::vector<uint8_t> committed;
    ASSERT_TRUE(platform::readWholeFile((test_support::TestDataDirectory::source() / "title.x").string(), committed));
    const std::string whole(committed.begin(), committed.end());
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"not a model", "this is not a model\n"},
        {"truncated", whole.substr(0, whole.size() / 2)},
        {"header only", "xof 0303txt 0032\n"},
        {"index out of range", oneTriangle(kPlainMaterial, "0,1,7")},
        {"absurd vertex count", "xof 0303txt 0032\nMesh M {\n 2000000000;\n 0.0;0.0;0.0;;\n 1;\n 3;0,0,0;;\n}\n"},
        {"absurd face count",
         "xof 0303txt 0032\nMesh M {\n 3;\n 0;0;0;,\n 1;0;0;,\n 0;0;1;;\n 2000000000;\n 3;0,1,2;;\n}\n"},
    };
    for (const auto& c : cases) {
        TitleMesh broken;
        const auto loaded = broken.loadModel(write("broken.x", c.text));
        ASSERT_FALSE(loaded) << c.name;
        EXPECT_FALSE(loaded.error().empty()) << c.name;
    }
    TitleMesh missing;
    EXPECT_FALSE(missing.loadModel((folder / "missing.x").string()));
}

}  // namespace
}  // namespace glassfalls
