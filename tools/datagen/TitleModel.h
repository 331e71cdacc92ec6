// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "tools/datagen/Font.h"

namespace datagen {

struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

// Triangles wound clockwise as seen from the side their normal faces (Direct3D's front).
struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;
};

// "glassFalls" as solid lettering lying in the x-z plane (reading along +x, tops toward +z),
// `width` units wide, centred on the origin, from y = 0 up to `thickness`.
Expected<Mesh> buildTitleMesh(const Font& font, float width, float thickness);

// The mesh as a text DirectX model with one material textured by `textureName`.
std::string toXFile(const Mesh& mesh, const std::string& textureName);

}  // namespace datagen
