// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/assets/MeshFile.h"

#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cmath>
#include <new>

#include "platform/assets/MeshCounts.h"
#include "platform/os/WholeFile.h"

namespace glassfalls::platform::assets {

namespace {

// Far more than any model the piece draws; a file that claims more is refused before its
// numbers are trusted any further.
constexpr uint32_t kMaxVertices = 1u << 22;
constexpr uint32_t kMaxFaces = 1u << 22;

// False with the reason when the file cannot be read or declares more than it holds.
Expected<void> fileCountsFit(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        return failure("cannot be read");
    }
    if (!declaredCountsFit(bytes)) {
        return failure("it declares more items than the file can hold");
    }
    return {};
}

gfx::ColourValue colourOf(const aiMaterial& m, const char* key, unsigned type, unsigned index) {
    aiColor4D c(0, 0, 0, 0);
    if (m.Get(key, type, index, c) != AI_SUCCESS) return {};
    return {c.r, c.g, c.b, c.a};
}

MeshMaterial materialOf(const aiMaterial& m) {
    MeshMaterial out;
    out.material.diffuse = colourOf(m, AI_MATKEY_COLOR_DIFFUSE);
    out.material.specular = colourOf(m, AI_MATKEY_COLOR_SPECULAR);
    out.material.emissive = colourOf(m, AI_MATKEY_COLOR_EMISSIVE);
    float power = 0;
    if (m.Get(AI_MATKEY_SHININESS, power) == AI_SUCCESS) out.material.power = power;
    aiString texture;
    if (m.GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS) out.textureFile = texture.C_Str();
    return out;
}

// Appends one of the file's meshes (all of one material); false when it is inconsistent.
Expected<void> append(const aiMesh& in, MeshData& out) {
    const auto base = static_cast<uint32_t>(out.vertices.size());
    if (in.mNumVertices > kMaxVertices - base) {
        return failure("more than " + std::to_string(kMaxVertices) + " vertices");
    }
    for (unsigned i = 0; i < in.mNumVertices; ++i) {
        MeshVertex v;
        v.x = in.mVertices[i].x;
        v.y = in.mVertices[i].y;
        v.z = in.mVertices[i].z;
        if (in.mNormals) {
            v.nx = in.mNormals[i].x;
            v.ny = in.mNormals[i].y;
            v.nz = in.mNormals[i].z;
        }
        if (in.mTextureCoords[0]) {
            v.u = in.mTextureCoords[0][i].x;
            v.v = in.mTextureCoords[0][i].y;
        }
        out.vertices.push_back(v);
    }
    for (unsigned f = 0; f < in.mNumFaces; ++f) {
        const aiFace& face = in.mFaces[f];
        if (face.mNumIndices != 3) continue;  // points and lines are not drawn
        for (unsigned k = 0; k < 3; ++k) {
            if (face.mIndices[k] >= in.mNumVertices) {
                return failure("a face uses a vertex the model does not have");
            }
            out.indices.push_back(base + face.mIndices[k]);
        }
    }
    if (out.indices.size() / 3 > kMaxFaces) {
        return failure("more than " + std::to_string(kMaxFaces) + " faces");
    }
    return {};
}

}  // namespace

Expected<void> loadMeshFile(const std::string& path, MeshData& mesh) {
    mesh = {};
    if (auto fits = fileCountsFit(path); !fits) return fits;
    Assimp::Importer importer;
    // Converting to left-handed undoes the importer's own conversion, so the model keeps the
    // file's handedness and clockwise front faces.
    const aiScene* scene = importer.ReadFile(
        path, aiProcess_ConvertToLeftHanded | aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                  aiProcess_ImproveCacheLocality | aiProcess_ValidateDataStructure);
    if (!scene) {
        return failure(importer.GetErrorString());
    }
    if (scene->mNumMaterials == 0) {
        return failure("no materials");
    }
    try {
        for (unsigned i = 0; i < scene->mNumMaterials; ++i) mesh.materials.push_back(materialOf(*scene->mMaterials[i]));
        // The importer splits the faces by material; joined in material order they form one
        // model sorted by material.
        for (unsigned material = 0; material < scene->mNumMaterials; ++material) {
            const auto firstFace = static_cast<uint32_t>(mesh.indices.size() / 3);
            for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
                const aiMesh& in = *scene->mMeshes[m];
                if (in.mMaterialIndex != material) continue;
                if (auto appended = append(in, mesh); !appended) return appended;
            }
            const auto faces = static_cast<uint32_t>(mesh.indices.size() / 3) - firstFace;
            if (faces > 0) mesh.subsets.push_back({material, firstFace, faces});
        }
    } catch (const std::bad_alloc&) {
        return failure("out of memory");
    }
    if (mesh.indices.empty()) {
        return failure("no triangles");
    }
    return {};
}

void computeNormals(MeshData& mesh) {
    std::vector<float> sums(mesh.vertices.size() * 3, 0.0f);
    for (size_t f = 0; f + 2 < mesh.indices.size(); f += 3) {
        const MeshVertex& a = mesh.vertices[mesh.indices[f]];
        const MeshVertex& b = mesh.vertices[mesh.indices[f + 1]];
        const MeshVertex& c = mesh.vertices[mesh.indices[f + 2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const float n[3] = {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
        for (size_t k = 0; k < 3; ++k) {
            float* sum = &sums[mesh.indices[f + k] * 3];
            for (int i = 0; i < 3; ++i) sum[i] += n[i];
        }
    }
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        const float* n = &sums[i * 3];
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length == 0.0f) continue;
        mesh.vertices[i].nx = n[0] / length;
        mesh.vertices[i].ny = n[1] / length;
        mesh.vertices[i].nz = n[2] / length;
    }
}

}  // namespace glassfalls::platform::assets
