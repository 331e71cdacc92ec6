// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Mesh.h"

namespace glassfalls {

namespace assets = platform::assets;

platform::Expected<void> Mesh::load(const std::string& modelFile) {
    mesh = {};
    materials.clear();
    materialCount = 0;
    fileName = modelFile;
    if (auto loaded = assets::loadMeshFile(modelFile, mesh); !loaded) return loaded;
    materialCount = static_cast<uint32_t>(mesh.materials.size());
    for (const assets::MeshMaterial& m : mesh.materials) materials.push_back(m.material);
    return {};
}

bool Mesh::convertFvf(uint32_t format) {
    if (format != assets::MeshVertex::kFormat || mesh.vertices.empty()) return false;
    assets::computeNormals(mesh);
    return true;
}

}  // namespace glassfalls
