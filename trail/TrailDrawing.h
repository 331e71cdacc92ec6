// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "math/Matrix4.h"
#include "platform/gfx/GraphicsDevice.h"
#include "trail/RipplePool.h"
#include "trail/TrailSegment.h"

namespace glassfalls {

// What the drawing reads of a performer's trail, and the one count it writes.
struct TrailView {
    std::span<const TrailSegment> segments;  // the performer's whole array
    int32_t segmentCount = 0;
    bool started = false;  // nothing is drawn before a performance has started
    bool closing = false;
    int32_t closingCursor = 0;  // the first segment still standing while closing
    int32_t endCount = 0;       // while closing, the segments drawn stand below this one
};

enum class TrailPass { Normal, Mirror };

// A vertex of the tube and its caps (XYZ | NORMAL | DIFFUSE | TEX1, 36 bytes).
struct TubeVertex {
    static constexpr uint32_t kFormat = 0x152;
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    uint32_t colour = 0;
    float u = 0, v = 0;
};
static_assert(sizeof(TubeVertex) == 36);

// The trail as a lit, sphere-mapped glass tube in the device's world transform, with the
// texture already bound. `worldView` (world times view) turns the normals into sphere-map
// coordinates. While closing, the normal pass first sets the end count.
void drawTrail(platform::gfx::GraphicsDevice& device, const TrailView& trail, const Matrix4& worldView, float level,
               TrailPass pass);
// The trail's mirror image in the water: the view reflected about y = 0, clipped to what
// stands above the water, dimmer.
void drawTrailReflection(platform::gfx::GraphicsDevice& device, const TrailView& trail, const Matrix4& worldView,
                         float level);
// The trail's dark shadow, flattened onto the water at y = 0.1.
void drawTrailShadow(platform::gfx::GraphicsDevice& device, const TrailView& trail, float level);

// The rings the trail starts after its normal pass, in the frame of the ripples' placement:
// while closing, small rings where stretches cross the water (one draw of the C library's
// random generator per segment, whatever the positions); then the large ring of
// checkWaterCrossing at the closing cursor, or at the head while performing.
void startTrailRipples(const TrailView& trail, RipplePool& ripples);
// Starts a large ring where the stretch between segments k - 2 and k - 1 crosses the
// water; true when it did. Run every frame, so a crossing at the newest stretch starts a
// ring in every frame until the next segment is laid.
bool checkWaterCrossing(const TrailView& trail, int32_t k, RipplePool& ripples);

}  // namespace glassfalls
