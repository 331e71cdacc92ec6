// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

#include "performer/Performer.h"
#include "platform/gfx/GraphicsDevice.h"
#include "render/Texture.h"

namespace glassfalls {

// The eight performers standing on a circle around the centre, and the sphere map their
// trails are drawn with. The world holds the one group of the piece.
class SphereGroup {
public:
    static constexpr int kPerformers = 8;
    static constexpr int32_t kCapacity = 288;

    // Seeds the piece's own random sequence (math/PieceRandom.h) with 6, so that every later
    // random draw follows from it, and sets up the eight performers, each with the melody in
    // `scoreFile` if there is one. The owner loads `sphereMap`: without it the trails are
    // drawn untextured.
    platform::Expected<void> init(Surroundings* surroundings, const std::string& scoreFile);
    // Steps every performer in the group's order, standing under `parent`, from the frame's
    // input.
    void step(const Matrix4& parent, const PerformerInput& input);
    // Draws every performer's trail where its last step placed it: the mirror image, the
    // tube clipped at the water with highlights, and the shadow, all at `level`. Leaves the
    // world transform at `parent`, the clip plane and the highlights off.
    void draw(platform::gfx::GraphicsDevice& device, const Matrix4& parent, float level) const;
    bool anyClosing() const;
    // The performers in a performance, growing or closing.
    int32_t performing() const;

    Texture sphereMap;
    std::array<Performer, kPerformers> performers;
};

}  // namespace glassfalls
