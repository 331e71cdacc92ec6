// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/gl/Pipeline.h"
#include "platform/gl/ShaderSource.h"
#include "platform/os/Expected.h"

namespace glassfalls::platform::gl {

// The device's state drawn with shaders, on an OpenGL 3.3 core or an OpenGL ES 3.0 context:
// the same picture as the fixed-function pipeline from the same state. Every program variant
// is built when the pipeline is made, so none is compiled while frames are drawn.
class ShaderPipeline final : public Pipeline {
public:
    // Fails with the compiler's words when a program does not build.
    static Expected<std::unique_ptr<ShaderPipeline>> create(bool es);
    ~ShaderPipeline() override;

    void apply(const gfx::DeviceState& state, uint32_t dirty, VertexLayout layout, GlTexture& texture) override;
    void pointArrays(VertexLayout layout, size_t offset, uint32_t stride) override;
    void depthRange(float nearZ, float farZ) override;
    void clearDepth(float z) override;
    bool contextRecreated() override;
    bool takesBgra() const override { return false; }
    bool readsBgra() const override { return readsBgra_; }

    // Where each uniform of a program is; -1 for one the variant does not have.
    struct Uniforms {
        int worldView = -1, worldViewProjection = -1, normalMatrix = -1, normalizeNormals = -1;
        int localViewer = -1, towardLight = -1, lightAmbient = -1, lightDiffuse = -1, lightSpecular = -1;
        int materialDiffuse = -1, materialAmbient = -1, materialSpecular = -1, materialEmissive = -1;
        int materialPower = -1, globalAmbient = -1, fromVertex = -1, world = -1, clipPlane = -1;
        int colourStage = -1, alphaStage = -1, alphaFunction = -1, alphaReference = -1;
    };
    struct Program {
        uint32_t name = 0;
        Uniforms uniforms;
    };

private:
    ShaderPipeline(ShaderDialect dialect, bool readsBgra) : dialect_(dialect), readsBgra_(readsBgra) {}
    Expected<void> build();
    void release();
    void applyRasterState(const gfx::DeviceState& state);
    void setTransforms(const gfx::DeviceState& state, bool pretransformed);
    void setLighting(const gfx::DeviceState& state, bool hasDiffuse);
    void setStage(const gfx::DeviceState& state);

    ShaderDialect dialect_;
    bool readsBgra_;
    bool clipping_ = false;  // GL_CLIP_DISTANCE0 on
    std::array<Program, ProgramVariant::kCount> programs_{};
    const Program* current_ = nullptr;
    uint32_t vertexArray_ = 0;
};

}  // namespace glassfalls::platform::gl
