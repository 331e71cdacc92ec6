// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/assets/MeshFile.h"
#include "platform/gfx/GraphicsDevice.h"
#include "platform/os/Expected.h"

namespace glassfalls {

// A model read from a ".x" file with its materials.
class Mesh {
public:
    virtual ~Mesh() = default;

    // Reads and optimises the model; a failure says why.
    platform::Expected<void> load(const std::string& modelFile);
    // Gives the model the vertex layout `format` (only position, normal and texture
    // coordinates, 0x112, exist here) and smooth normals recomputed from its faces.
    bool convertFvf(uint32_t format);

    std::string fileName;
    platform::assets::MeshData mesh;
    std::vector<platform::gfx::Material> materials;
    uint32_t materialCount = 0;
};

}  // namespace glassfalls
