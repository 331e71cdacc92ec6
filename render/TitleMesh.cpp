#include "render/TitleMesh.h"

#include <fstream>

namespace glassfalls {

bool TitleMesh::create(platform::gfx::GraphicsDevice& device, const std::string& skinFile,
                       const std::string& modelFile) {
    skin.loadFromFile(device, skinFile);
    return static_cast<bool>(std::ifstream(modelFile, std::ios::binary));
}

}  // namespace glassfalls
