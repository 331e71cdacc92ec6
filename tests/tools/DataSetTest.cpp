// SPDX-License-Identifier: GPL-3.0-or-later
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <assimp/Importer.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/support/TestDataDirectory.h"

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

uint32_t le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

fs::path committed(const char* name) { return glassfalls::test_support::TestDataDirectory::source() / name; }

void expectBmp24(const char* name, uint32_t width, uint32_t height) {
    SCOPED_TRACE(name);
    const std::string b = readAll(committed(name));
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(le32(b, 18), width);
    EXPECT_EQ(le32(b, 22), height);
    EXPECT_EQ(static_cast<uint8_t>(b[28]), 24);
    const uint32_t row = (width * 3 + 3) & ~3u;
    EXPECT_EQ(b.size(), le32(b, 10) + row * height);
}

void expectRgbaPng(const char* name, uint32_t width, uint32_t height) {
    SCOPED_TRACE(name);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, committed(name).c_str())) << image.message;
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    EXPECT_TRUE(image.format & PNG_FORMAT_FLAG_ALPHA);
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
    // Lettering on transparent ground: the corners are clear and some pixels are solid.
    EXPECT_EQ(pixels[3], 0);
    EXPECT_EQ(pixels.back(), 0);
    size_t solid = 0;
    for (size_t i = 3; i < pixels.size(); i += 4) solid += pixels[i] == 255;
    EXPECT_GT(solid, 200u);
}

}  // namespace

TEST(DataSet, GeneratorReproducesTheCommittedFilesByteForByte) {
    const fs::path out = fs::temp_directory_path() / ("glassfalls-datagen-" + std::to_string(::getpid()));
    const std::string command =
        std::string(GLASSFALLS_DATAGEN) + " " + (out / "data").string() + " " + (out / "examples").string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* name :
         {"background.bmp", "title.png", "CopyRight.png", "title.bmp", "spheremap.bmp", "ground.bmp", "title.x"}) {
        EXPECT_TRUE(readAll(out / "data" / name) == readAll(committed(name))) << name << " differs";
    }
    const fs::path melody = fs::path(GLASSFALLS_SOURCE_DIR) / "examples" / "music.dat";
    EXPECT_TRUE(readAll(out / "examples" / "music.dat") == readAll(melody));
    fs::remove_all(out);
}

// A folder that cannot be made is said in one line, status 1, not a crash.
TEST(DataSet, AFolderThatCannotBeMadeIsAClearError) {
    const std::string command =
        std::string(GLASSFALLS_DATAGEN) + " /proc/glassfalls-data /proc/glassfalls-examples 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string said;
    for (char chunk[256]; std::fgets(chunk, sizeof chunk, pipe);) said += chunk;
    const int status = ::pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 1) << said;
    EXPECT_NE(said.find("cannot make the folder /proc/glassfalls-data"), std::string::npos) << said;
}

TEST(DataSet, PicturesHaveTheSizesAndFormatsTheirReadersNeed) {
    expectBmp24("background.bmp", 320, 240);
    expectBmp24("title.bmp", 256, 256);
    expectBmp24("spheremap.bmp", 256, 256);
    expectBmp24("ground.bmp", 256, 256);
    expectRgbaPng("title.png", 256, 256);
    expectRgbaPng("CopyRight.png", 256, 64);
}

TEST(DataSet, TitleModelIsSolidLetteringFacingOutward) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(committed("title.x").string(), aiProcess_ConvertToLeftHanded);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    ASSERT_EQ(scene->mNumMeshes, 1u);
    const aiMesh* mesh = scene->mMeshes[0];
    ASSERT_TRUE(mesh->HasNormals());
    ASSERT_TRUE(mesh->HasTextureCoords(0));
    EXPECT_LE(mesh->mNumVertices, 65535u);

    aiString texture;
    ASSERT_EQ(scene->mMaterials[mesh->mMaterialIndex]->GetTexture(aiTextureType_DIFFUSE, 0, &texture), AI_SUCCESS);
    EXPECT_STREQ(texture.C_Str(), "title.bmp");

    aiVector3D lo(1e9f), hi(-1e9f);
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        const aiVector3D& v = mesh->mVertices[i];
        lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
        hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
    }
    EXPECT_GE(hi.x - lo.x, 60.0f);
    EXPECT_LE(hi.x - lo.x, 70.0f);
    EXPECT_NEAR(hi.x + lo.x, 0.0f, 0.01f);
    EXPECT_NEAR(hi.z + lo.z, 0.0f, 0.01f);
    EXPECT_LT(hi.z - lo.z, hi.x - lo.x);  // lying flat, reading along x
    EXPECT_FLOAT_EQ(lo.y, 0.0f);
    EXPECT_GT(hi.y, 1.0f);
    EXPECT_LT(hi.y, 6.0f);

    // Front faces are clockwise seen from outside: the left-handed cross product of each
    // triangle's edges points the way its normals do, so culling counter-clockwise keeps it.
    unsigned inward = 0;
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        ASSERT_EQ(face.mNumIndices, 3u);
        const aiVector3D a = mesh->mVertices[face.mIndices[0]], b = mesh->mVertices[face.mIndices[1]],
                         c = mesh->mVertices[face.mIndices[2]];
        const aiVector3D n =
            mesh->mNormals[face.mIndices[0]] + mesh->mNormals[face.mIndices[1]] + mesh->mNormals[face.mIndices[2]];
        if (((b - a) ^ (c - a)) * n <= 0.0f) ++inward;
    }
    EXPECT_EQ(inward, 0u);
}

TEST(DataSet, DemoMelodyIsCompleteGroupsOfFourLines) {
    const std::string text = readAll(fs::path(GLASSFALLS_SOURCE_DIR) / "examples" / "music.dat");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    std::istringstream lines(text);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_EQ(all.size() % 4, 0u);
    const size_t notes = all.size() / 4;
    EXPECT_GE(notes, 30u);
    EXPECT_LE(notes, 60u);
    std::set<int> levels;
    int rests = 0;
    for (size_t g = 0; g < notes; ++g) {
        const int band = std::stoi(all[4 * g + 1]);
        const int level = std::stoi(all[4 * g + 2]);
        const int duration = std::stoi(all[4 * g + 3]);
        EXPECT_TRUE(band == 255 || (band >= 60 && band <= 139)) << band;
        EXPECT_GE(level, 0);
        EXPECT_LE(level, 255);
        EXPECT_GE(duration, 1);
        rests += band == 255;
        levels.insert(level);
    }
    EXPECT_GE(rests, 1);
    EXPECT_GE(levels.size(), 5u);
}
