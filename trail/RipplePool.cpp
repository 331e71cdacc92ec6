// SPDX-License-Identifier: GPL-3.0-or-later
#include "trail/RipplePool.h"

#include <cmath>
#include <new>
#include <string>

#include "math/Angles.h"
#include "math/TrigTables.h"
#include "platform/gfx/StateTable.h"
#include "render/StatePresets.h"

namespace glassfalls {

using namespace platform::gfx;

namespace {

struct RingVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
constexpr uint32_t kRingFormat = fvf::Xyz | fvf::Diffuse | fvf::Tex1;
constexpr float kWaterHeight = 0.1f;

// Translucent by the ring's alpha, unlit, seen from above.
// With statePresets::kBlendedTextureTimesColour.
constexpr StateSetting kRingStates[] = {
    {renderState::CullMode, Cull::Clockwise},
    {renderState::ZFunc, Compare::LessEqual},
    {renderState::Lighting, false},
};

}  // namespace

int32_t ringAlpha(const Ripple& ring) {
    if (ring.kind == 0) return 255 - static_cast<int32_t>(ring.radius * 255.0f / ring.maxRadius);
    return 198 - static_cast<int32_t>(ring.radius * 128.0f / ring.maxRadius);
}

platform::Expected<void> RipplePool::init() {
    try {
        rings.assign(kCapacity, Ripple{});
    } catch (const std::bad_alloc&) {
        return platform::failure("no memory for the ripples");
    }
    placement = Matrix4::identity();
    return {};
}

void RipplePool::clear() {
    rings.clear();
    placement = Matrix4{};
}

void RipplePool::destroy() {
    rings.clear();
    rings.shrink_to_fit();
}

Vector3 RipplePool::placed(const Vector3& p) const {
    const auto& m = placement.m;
    return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
            p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
            p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
}

void RipplePool::spawn(const Vector3& centre, int32_t kind, float growth, float maxRadius, float width) {
    for (Ripple& ring : rings) {
        if (ring.active) continue;
        ring = {kind, true, 0.0f, centre, growth, maxRadius, width};
        return;
    }
}

void RipplePool::spawnLargeRipple(const Vector3& position) { spawn(placed(position), 0, 0.5f, 20.0f, 0.3f); }
void RipplePool::spawnSmallRipple(const Vector3& position) { spawn(placed(position), 1, 0.4f, 2.0f, 0.2f); }
void RipplePool::spawnHugeRipple(const Vector3& position) { spawn(position, 0, 0.8f, 40.0f, 0.4f); }

void RipplePool::update() {
    for (Ripple& ring : rings) {
        if (!ring.active) continue;
        // The end is decided on the exact sum, before it is rounded to a float.
        const double sum = static_cast<double>(ring.radius) + static_cast<double>(ring.growth);
        if (sum > static_cast<double>(ring.maxRadius)) {
            ring.active = false;
            ring.radius = 0.0f;
        } else {
            ring.radius = static_cast<float>(sum);
        }
    }
}

void RipplePool::followTurn(float turnDegrees) {
    const float radians = (360.0f - turnDegrees) * kDegreesToRadians;
    placement = Matrix4{};
    placement.m[0][0] = std::cos(radians);
    placement.m[0][2] = -std::sin(radians);
    placement.m[2][0] = std::sin(radians);
    placement.m[2][2] = std::cos(radians);
    placement.m[1][1] = 1.0f;
    placement.m[3][3] = 1.0f;
}

void RipplePool::draw(GraphicsDevice& device) const {
    Matrix4 savedWorld;
    device.getTransform(TransformState::World, savedWorld);

    device.setTexture(0, nullptr);
    device.setFvf(kRingFormat);
    applyStates(device, statePresets::kBlendedTextureTimesColour);
    applyStates(device, kRingStates);
    device.setTransform(TransformState::World, Matrix4::identity());

    RingVertex quad[4];
    for (const Ripple& ring : rings) {
        if (!ring.active) continue;
        const uint32_t colour = static_cast<uint32_t>(ringAlpha(ring)) << 24 | 0x00AAAAFFu;
        const float r = ring.radius, outer = ring.radius + ring.width;
        const float cx = ring.centre.x, cz = ring.centre.z;
        for (int k = 0; k < 60; ++k) {
            const int theta = 6 * k, phi = 6 * ((k + 1) % 60);
            quad[0] = {cx + r * CosTable[theta], kWaterHeight, cz + r * SinTable[theta], colour, 0, 0};
            quad[1] = {cx + outer * CosTable[theta], kWaterHeight, cz + outer * SinTable[theta], colour, 0, 0};
            quad[2] = {cx + outer * CosTable[phi], kWaterHeight, cz + outer * SinTable[phi], colour, 0, 0};
            quad[3] = {cx + r * CosTable[phi], kWaterHeight, cz + r * SinTable[phi], colour, 0, 0};
            device.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, quad, sizeof(RingVertex));
        }
    }

    device.setTransform(TransformState::World, savedWorld);
    statePresets::restoreBaseline(device);
}

void RipplePool::saveState(platform::ByteWriter& out) const {
    out.u32(static_cast<uint32_t>(rings.size()));
    for (const Ripple& ring : rings) {
        out.i32(ring.kind);
        out.boolean(ring.active);
        out.f32(ring.radius);
        out.floats(ring.centre);
        out.f32(ring.growth);
        out.f32(ring.maxRadius);
        out.f32(ring.width);
    }
    out.floats(placement);
}

void RipplePool::loadState(platform::ByteReader& in) {
    uint32_t count = 0;
    in.u32(count);
    if (count != kCapacity)
        return in.fail("has " + std::to_string(count) + " ripples, not " + std::to_string(kCapacity));
    rings.assign(kCapacity, Ripple{});
    for (Ripple& ring : rings) {
        in.i32(ring.kind);
        in.boolean(ring.active);
        in.f32(ring.radius);
        in.floats(ring.centre);
        in.f32(ring.growth);
        in.f32(ring.maxRadius);
        in.f32(ring.width);
        if (ring.kind < 0 || ring.kind > 1) in.fail("has a ripple of an unknown kind");
    }
    in.floats(placement);
}

}  // namespace glassfalls
