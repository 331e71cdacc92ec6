#include "render/Mesh.h"

#include <filesystem>

#include "platform/assets/TextureLoader.h"

namespace glassfalls {

using namespace platform::gfx;
namespace assets = platform::assets;

bool Mesh::load(GraphicsDevice& device, const std::string& modelFile) {
    mesh = {};
    materials.clear();
    textures.clear();
    materialCount = 0;
    fileName = modelFile;
    if (auto loaded = assets::loadMeshFile(modelFile, mesh); !loaded) {
        error = loaded.error();
        return false;
    }
    materialCount = static_cast<uint32_t>(mesh.materials.size());
    const std::filesystem::path folder = std::filesystem::path(modelFile).parent_path();
    for (const assets::MeshMaterial& m : mesh.materials) {
        materials.push_back(m.material);
        textures.push_back(m.textureFile.empty() ? nullptr
                                                 : createTextureFromFile(device, (folder / m.textureFile).string()));
    }
    return true;
}

bool Mesh::convertFvf(uint32_t format) {
    if (format != assets::MeshVertex::kFormat || mesh.vertices.empty()) return false;
    assets::computeNormals(mesh);
    return true;
}

int Mesh::drawSubsets(GraphicsDevice& device) {
    std::vector<assets::MeshVertex> triangles;
    device.setFvf(assets::MeshVertex::kFormat);
    for (const assets::MeshSubset& subset : mesh.subsets) {
        triangles.clear();
        for (uint32_t i = subset.firstFace * 3; i < (subset.firstFace + subset.faceCount) * 3; ++i) {
            triangles.push_back(mesh.vertices[mesh.indices[i]]);
        }
        device.setMaterial(materials[subset.material]);
        device.setTexture(0, textures[subset.material].get());
        device.drawPrimitiveUp(PrimitiveType::TriangleList, subset.faceCount, triangles.data(),
                               sizeof(assets::MeshVertex));
    }
    return static_cast<int>(materialCount);
}

}  // namespace glassfalls
