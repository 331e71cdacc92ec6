// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "math/Angles.h"
#include "math/MatrixBuilders.h"
#include "render/Ground.h"
#include "render/LightMask.h"
#include "render/RenderDevice.h"
#include "render/ScreenFade.h"
#include "render/Texture.h"
#include "trail/RipplePool.h"
#include "trail/TrailDrawing.h"

namespace glassfalls::test_support {

// The costliest performance frame: eight trails of 96 segments, closing, in their three
// passes; all 128 rings; the ground, the light mask and a fade. Drawn with the real drawers.
class WorstCaseFrame {
private:
    void keep(const platform::Expected<void>& done) {
        if (!done && failure_.empty()) failure_ = done.error();
    }
    std::string failure_;

public:
    WorstCaseFrame(RenderDevice& renderDevice, const std::string& dataDirectory) : renderDevice_(renderDevice) {
        platform::gfx::GraphicsDevice& device = *renderDevice.device;
        for (auto& trail : trails_) {
            trail.assign(288, TrailSegment{});
            for (TrailSegment& s : trail) clearSegment(s);
            // A helix that dips through the water and climbs out of it.
            buildFirstSegment(trail[0], {12, -2, 0}, kTubeRadius);
            for (int i = 1; i < kSegments; ++i) {
                const float a = static_cast<float>(i) * 0.25f;
                buildSegment(trail, i, {12 + 3 * std::cos(a), -2 + static_cast<float>(i) * 0.15f, 3 * std::sin(a)},
                             kTubeRadius, 60, 100, true);
            }
        }
        keep(sphereMap_.loadFromFile(device, dataDirectory + "/spheremap.bmp"));
        keep(ripples_.init());
        for (int i = 0; i < RipplePool::kCapacity; ++i) {
            ripples_.spawnLargeRipple({static_cast<float>(i % 16) * 4 - 32, 0, static_cast<float>(i / 16) * 4});
        }
        for (int i = 0; i < 30; ++i) ripples_.update();
        ground_.init(device);
        keep(ground_.floorPicture.loadFromFile(device, dataDirectory + "/ground.bmp"));
        // Over the whole screen the device shows, as the world lays them out.
        const PieceScreen& screen = renderDevice.screen();
        keep(lightMask_.init(device, screen, 288));
        fade_.init(static_cast<int32_t>(std::ceil(screen.width)), 480);
    }

    // What could not be set up, the first of it; empty when the whole frame is there.
    const std::string& failure() const { return failure_; }

    void draw() {
        using namespace platform::gfx;
        GraphicsDevice& device = *renderDevice_.device;
        renderDevice_.drawScene([&] {
            const Matrix4 view = matrixLookAtLH({0, 64, -64}, {0, 0, 16}, {0, 1, 0});
            device.setTransform(TransformState::View, view);
            const float water[4] = {0, 1, 0, 0};
            for (size_t k = 0; k < trails_.size(); ++k) {
                const float a = static_cast<float>(k * 45) * kDegreesToRadians;
                Matrix4 world = Matrix4::identity();
                world.m[0][0] = std::cos(a);
                world.m[0][2] = -std::sin(a);
                world.m[2][0] = std::sin(a);
                world.m[2][2] = std::cos(a);
                device.setTransform(TransformState::World, world);
                const TrailView trail{trails_[k], kSegments, true, true, 3, kSegments};
                const Matrix4 worldView = world.multiply(view);
                device.setTexture(0, sphereMap_.texture.get());
                drawTrailReflection(device, trail, worldView, 1.0f);
                device.setRenderState(renderState::SpecularEnable, 1);
                device.setClipPlane(0, water);
                device.setRenderState(renderState::ClipPlaneEnable, 1);
                drawTrail(device, trail, worldView, 1.0f, TrailPass::Normal);
                device.setRenderState(renderState::SpecularEnable, 0);
                drawTrailShadow(device, trail, 1.0f);
                device.setRenderState(renderState::ClipPlaneEnable, 0);
            }
            device.setTransform(TransformState::World, Matrix4::identity());
            ground_.draw(device, 1.0f);
            ripples_.draw(device);
            lightMask_.draw(device, Matrix4::identity());
            fade_.draw(device, Matrix4::identity(), 96);
        });
    }

    static constexpr int kSegments = 96;

private:
    RenderDevice& renderDevice_;
    std::array<std::vector<TrailSegment>, 8> trails_;
    Texture sphereMap_;
    RipplePool ripples_;
    Ground ground_;
    LightMask lightMask_;
    ScreenFade fade_;
};

}  // namespace glassfalls::test_support
