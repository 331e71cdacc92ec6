#include "render/Mesh.h"

#include <filesystem>

#include "platform/gfx/TextureLoader.h"

namespace glassfalls {

using namespace platform::gfx;

bool Mesh::load(GraphicsDevice& device, const std::string& modelFile) {
    mesh = {};
    materials.clear();
    textures.clear();
    materialCount = 0;
    fileName = modelFile;
    if (!loadMeshFile(modelFile, mesh, error)) return false;
    materialCount = static_cast<uint32_t>(mesh.materials.size());
    const std::filesystem::path folder = std::filesystem::path(modelFile).parent_path();
    for (const MeshMaterial& m : mesh.materials) {
        materials.push_back(m.material);
        textures.push_back(m.textureFile.empty()
                               ? nullptr
                               : createTextureFromFile(device, (folder / m.textureFile).string()));
    }
    return true;
}

bool Mesh::convertFvf(uint32_t format) {
    if (format != MeshVertex::kFormat || mesh.vertices.empty()) return false;
    computeNormals(mesh);
    return true;
}

int Mesh::drawSubsets(GraphicsDevice& device) {
    std::vector<MeshVertex> triangles;
    device.setFvf(MeshVertex::kFormat);
    for (const MeshSubset& subset : mesh.subsets) {
        triangles.clear();
        for (uint32_t i = subset.firstFace * 3; i < (subset.firstFace + subset.faceCount) * 3; ++i) {
            triangles.push_back(mesh.vertices[mesh.indices[i]]);
        }
        device.setMaterial(materials[subset.material]);
        device.setTexture(0, textures[subset.material].get());
        device.drawPrimitiveUp(PrimitiveType::TriangleList, subset.faceCount, triangles.data(),
                               sizeof(MeshVertex));
    }
    return static_cast<int>(materialCount);
}

}  // namespace glassfalls
