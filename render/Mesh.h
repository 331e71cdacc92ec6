#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/assets/MeshFile.h"
#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls {

// A model read from a ".x" file with its materials and the textures they name, drawn
// material by material.
class Mesh {
public:
    virtual ~Mesh() = default;

    // Reads and optimises the model and loads the textures its materials name, from the
    // model's folder; a texture that cannot be loaded is left out. On false, `error` says why.
    virtual bool load(platform::gfx::GraphicsDevice& device, const std::string& modelFile);
    // Gives the model the vertex layout `format` (only position, normal and texture
    // coordinates, 0x112, exist here) and smooth normals recomputed from its faces.
    bool convertFvf(uint32_t format);
    // Draws every material's faces with its material and texture; returns the material count.
    virtual int drawSubsets(platform::gfx::GraphicsDevice& device);

    std::string fileName;
    std::string error;
    platform::assets::MeshData mesh;
    std::vector<platform::gfx::Material> materials;
    std::vector<std::unique_ptr<platform::gfx::DeviceTexture>> textures;  // null: none
    uint32_t materialCount = 0;
};

}  // namespace glassfalls
