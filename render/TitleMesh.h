#pragma once

#include <string>

#include "platform/gfx/GraphicsDevice.h"
#include "render/Texture.h"

namespace glassfalls {

// The falling title model. Until its loader and drawing are built it loads its skin and
// checks that the model file can be read, so that a broken installation still fails at
// start-up.
class TitleMesh {
public:
    bool create(platform::gfx::GraphicsDevice& device, const std::string& skinFile,
                const std::string& modelFile);

    Texture skin;
};

}  // namespace glassfalls
