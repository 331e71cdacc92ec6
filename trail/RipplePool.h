// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "math/Matrix4.h"
#include "math/Vector3.h"
#include "platform/gfx/GraphicsDevice.h"
#include "platform/os/ByteStream.h"
#include "render/HugeRipples.h"

namespace glassfalls {

// One expanding ring on the water.
struct Ripple {
    int32_t kind = 0;  // 0 large or huge: fades from 255 to 0; 1 small: from 198 to 70
    bool active = false;
    float radius = 0;  // inner radius
    Vector3 centre;    // world coordinates; only x and z are drawn
    float growth = 0;
    float maxRadius = 0;
    float width = 0;  // outer minus inner radius
};

// How opaque a ring is drawn at its present radius, 0 … 255.
int32_t ringAlpha(const Ripple& ring);

// The rings that start wherever something passes through the water, 128 at most.
class RipplePool final : public HugeRipples {
public:
    static constexpr int kCapacity = 128;

    // Makes the 128 entries, all inactive; placement the identity. False without memory.
    platform::Expected<void> init();
    // The empty pool: no entries, a zero placement.
    void clear();
    void destroy();

    // Start one ring at `position`, or nothing when all 128 are alive. Large and small
    // rings are given in the frame of `placement`; huge rings in the world.
    void spawnLargeRipple(const Vector3& position);
    void spawnSmallRipple(const Vector3& position);
    void spawnHugeRipple(const Vector3& position) override;

    // Grows every ring once; a ring whose radius would pass its maximum ends.
    void update();
    // Turns `placement` to follow the scene's turn: by 360 - turnDegrees about the vertical.
    void followTurn(float turnDegrees);
    // Every ring and the placement, for another machine to go on from.
    void saveState(platform::ByteWriter& out) const;
    void loadState(platform::ByteReader& in);

    // Draws every ring on the water at height 0.1.
    void draw(platform::gfx::GraphicsDevice& device) const;

    std::vector<Ripple> rings;
    Matrix4 placement;

private:
    void spawn(const Vector3& centre, int32_t kind, float growth, float maxRadius, float width);
    Vector3 placed(const Vector3& p) const;
};

}  // namespace glassfalls
