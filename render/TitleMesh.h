// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/gfx/GraphicsDevice.h"
#include "render/HugeRipples.h"
#include "render/Mesh.h"
#include "render/Movable.h"
#include "render/Texture.h"

namespace glassfalls {

// The title as a glass model that drops from above the camera onto the water, then sinks
// and fades; drawn sphere-mapped with its mirror image, and with a shadow until it lands.
class TitleMesh final : public Mesh, public Movable {
public:
    // Loads the model, gives it smooth normals and unrolls its faces into `triangles`.
    platform::Expected<void> loadModel(const std::string& modelFile);

    // Advances the drop by one frame.
    void step();
    // Each face, in order, draws one random number and may start a huge ring where it
    // crosses the water at its drop height.
    void startRipples(HugeRipples& ripples) const;
    // Draws every face at its drop height, sphere-mapped through the first two columns of
    // `normalMatrix`.
    void draw(platform::gfx::GraphicsDevice& device, const Matrix4& normalMatrix) const;
    // The mirror image below the water, on a cleared depth buffer.
    void drawReflection(platform::gfx::GraphicsDevice& device, const Matrix4& normalMatrix) const;
    // The flattened shadow on the water; nothing once the model has landed.
    // How far it has dropped and faded, for another machine to go on from.
    void saveState(platform::ByteWriter& out) const;
    void loadState(platform::ByteReader& in);
    void drawShadow(platform::gfx::GraphicsDevice& device, const Matrix4& normalMatrix) const;

    Texture skin;  // its reflections; loaded by the owner, the model is drawn without them when missing
    int32_t vertexCount = 0;
    int32_t faceCount = 0;
    std::vector<platform::assets::MeshVertex> triangles;  // three per face, in index order
    float dropOffset = 90.0f;                             // added to every y when drawing
    float dropStep = 4.0f;
    float fade = 1.0f;  // the diffuse brightness after landing; falls below 0 in time
    bool landed = false;
};

}  // namespace glassfalls
