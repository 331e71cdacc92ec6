// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/DeviceTypes.h"
#include "platform/os/Expected.h"

// The model loading the title calls by the extension library's names, on Assimp.
namespace glassfalls::platform::assets {

// Position, normal and texture coordinates (XYZ | NORMAL | TEX1, 32 bytes).
struct MeshVertex {
    static constexpr uint32_t kFormat = 0x112;
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    float u = 0, v = 0;
};
static_assert(sizeof(MeshVertex) == 32);

struct MeshMaterial {
    gfx::Material material;
    std::string textureFile;  // as the model names it; empty: none
};

// The faces drawn with one material: faces [firstFace, firstFace + faceCount).
struct MeshSubset {
    uint32_t material = 0;
    uint32_t firstFace = 0;
    uint32_t faceCount = 0;
};

// A model as the drawing uses it: triangles as three indices each, every index below the
// vertex count, the faces sorted by material.
struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;
    std::vector<MeshMaterial> materials;
    std::vector<MeshSubset> subsets;  // in material order
};

// Reads a DirectX ".x" model (text, binary or compressed) in its own left-handed frame and
// winding, and optimises it as the loader did: identical vertices joined, faces sorted by
// material, vertex-cache order improved, into `mesh`. Fails for a file that cannot be read,
// holds no triangles, or is inconsistent.
Expected<void> loadMeshFile(const std::string& path, MeshData& mesh);

// Replaces every vertex normal by the normalised sum of the normals of the faces around it,
// each weighted by its area; the front of a face is clockwise seen from outside.
void computeNormals(MeshData& mesh);

}  // namespace glassfalls::platform::assets
