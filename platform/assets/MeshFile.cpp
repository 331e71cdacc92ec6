#include "platform/assets/MeshFile.h"

#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cctype>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/file/WholeFile.h"

namespace glassfalls::platform::assets {

namespace {

// Far more than any model the piece draws; a file that claims more is refused before its
// numbers are trusted any further.
constexpr uint32_t kMaxVertices = 1u << 22;
constexpr uint32_t kMaxFaces = 1u << 22;

// The importer sizes its arrays from the counts a file declares before it reads the items,
// so a file that claims two billion vertices would have it fill gigabytes. No count or index
// can be larger than the file itself: each item takes at least a byte of it. A text file's
// integers (numbers without a point or exponent, outside strings, GUIDs and comments) and a
// binary file's integer lists are checked against its size before the importer sees it.
bool textCountsFit(const std::vector<uint8_t>& bytes) {
    const size_t n = bytes.size();
    for (size_t i = 16; i < n;) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '"' || c == '<') {
            const char close = c == '"' ? '"' : '>';
            for (++i; i < n && bytes[i] != close; ++i) {}
            ++i;
        } else if (c == '#' || (c == '/' && i + 1 < n && bytes[i + 1] == '/')) {
            for (; i < n && bytes[i] != '\n'; ++i) {}
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            uint64_t value = 0;
            size_t j = i;
            for (; j < n && std::isdigit(bytes[j]); ++j) value = std::min<uint64_t>(value * 10 + (bytes[j] - '0'), n + 1);
            const bool isFloat = j < n && (bytes[j] == '.' || bytes[j] == 'e' || bytes[j] == 'E');
            if (isFloat) {
                for (; j < n && (std::isalnum(bytes[j]) || bytes[j] == '.' || bytes[j] == '-' || bytes[j] == '+'); ++j) {}
            } else if (value > n) {
                return false;
            }
            i = j;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            for (; i < n && (std::isalnum(bytes[i]) || bytes[i] == '_'); ++i) {}
        } else {
            ++i;
        }
    }
    return true;
}

bool binaryCountsFit(const std::vector<uint8_t>& bytes, size_t floatSize) {
    const size_t n = bytes.size();
    auto word = [&](size_t at) { return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8); };
    auto dword = [&](size_t at) { return word(at) | word(at + 2) << 16; };
    for (size_t i = 16; i + 2 <= n;) {
        const uint32_t token = word(i);
        i += 2;
        size_t item = 0;  // bytes per listed item, 0 for tokens without a count
        size_t trailer = 0;
        if (token == 1 || token == 2) {
            item = 1;
            trailer = token == 2 ? 4 : 0;
        } else if (token == 3) {
            i += 4;
            continue;
        } else if (token == 5) {
            i += 16;
            continue;
        } else if (token == 6) {
            item = 4;
        } else if (token == 7) {
            item = floatSize;
        } else {
            continue;
        }
        if (i + 4 > n) return false;
        const uint64_t count = dword(i);
        i += 4;
        if (count * item + trailer > n - i) return false;
        if (token == 6) {
            for (uint64_t k = 0; k < count; ++k, i += 4) {
                if (dword(i) > n) return false;
            }
        } else {
            i += count * item + trailer;
        }
    }
    return true;
}

// False when the file's header says text or binary and a count does not fit the file.
// Compressed files are left to the importer.
bool declaredCountsFit(const std::string& path, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        error = "cannot be read";
        return false;
    }
    if (bytes.size() < 16 || std::memcmp(bytes.data(), "xof ", 4) != 0) return true;
    const std::string format(bytes.begin() + 8, bytes.begin() + 12);
    const bool fits = format == "txt " ? textCountsFit(bytes)
                      : format == "bin " ? binaryCountsFit(bytes, std::memcmp(&bytes[12], "0064", 4) == 0 ? 8 : 4)
                                         : true;
    if (!fits) error = "it declares more items than the file can hold";
    return fits;
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
bool append(const aiMesh& in, MeshData& out, std::string& error) {
    const auto base = static_cast<uint32_t>(out.vertices.size());
    if (in.mNumVertices > kMaxVertices - base) {
        error = "more than " + std::to_string(kMaxVertices) + " vertices";
        return false;
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
                error = "a face uses a vertex the model does not have";
                return false;
            }
            out.indices.push_back(base + face.mIndices[k]);
        }
    }
    if (out.indices.size() / 3 > kMaxFaces) {
        error = "more than " + std::to_string(kMaxFaces) + " faces";
        return false;
    }
    return true;
}

}  // namespace

bool loadMeshFile(const std::string& path, MeshData& mesh, std::string& error) {
    mesh = {};
    if (!declaredCountsFit(path, error)) return false;
    Assimp::Importer importer;
    // Converting to left-handed undoes the importer's own conversion, so the model keeps the
    // file's handedness and clockwise front faces.
    const aiScene* scene = importer.ReadFile(
        path, aiProcess_ConvertToLeftHanded | aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                  aiProcess_ImproveCacheLocality | aiProcess_ValidateDataStructure);
    if (!scene) {
        error = importer.GetErrorString();
        return false;
    }
    if (scene->mNumMaterials == 0) {
        error = "no materials";
        return false;
    }
    try {
        for (unsigned i = 0; i < scene->mNumMaterials; ++i) mesh.materials.push_back(materialOf(*scene->mMaterials[i]));
        // The importer splits the faces by material; joined in material order they form one
        // model sorted by material.
        for (unsigned material = 0; material < scene->mNumMaterials; ++material) {
            const auto firstFace = static_cast<uint32_t>(mesh.indices.size() / 3);
            for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
                const aiMesh& in = *scene->mMeshes[m];
                if (in.mMaterialIndex == material && !append(in, mesh, error)) return false;
            }
            const auto faces = static_cast<uint32_t>(mesh.indices.size() / 3) - firstFace;
            if (faces > 0) mesh.subsets.push_back({material, firstFace, faces});
        }
    } catch (const std::bad_alloc&) {
        error = "out of memory";
        return false;
    }
    if (mesh.indices.empty()) {
        error = "no triangles";
        return false;
    }
    return true;
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
