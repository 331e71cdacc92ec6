// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gl/Pipeline.h"

namespace glassfalls::platform::gl {

// The device's state as OpenGL fixed-function state, through the compatibility profile: the
// picture the drawing was written for, and the one the shader pipeline is held against.
class FixedFunctionPipeline final : public Pipeline {
public:
    void apply(const gfx::DeviceState& state, uint32_t dirty, VertexLayout layout, GlTexture& texture) override;
    void pointArrays(VertexLayout layout, size_t offset, uint32_t stride) override;
    void depthRange(float nearZ, float farZ) override;
    void clearDepth(float z) override;
    bool contextRecreated() override { return true; }
    bool takesBgra() const override { return true; }
    bool readsBgra() const override { return true; }

private:
    void applyTransforms(const gfx::DeviceState& state, bool pretransformed);
    void applyLightingState(const gfx::DeviceState& state, bool pretransformed, bool hasDiffuse);
    void applyRasterState(const gfx::DeviceState& state);
    void applyTextureStage(const gfx::DeviceState& state, GlTexture& texture);
};

}  // namespace glassfalls::platform::gl
