// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace glassfalls::platform::gl {

// Stage 0 as a program variant's own code: the texture times the vertex colour, with the
// vertex's alpha or their alphas multiplied, as the piece draws everything; any other
// setting through the stage's uniforms, at the cost of a little arithmetic per pixel.
enum class StageCode { Uniforms = 0, TextureTimesColour = 1, TextureTimesColourAndAlpha = 2 };

// What a program variant is built for: the state that changes its code. Everything else
// (matrices, light, material, the operations of a stage set by uniforms) is a uniform.
struct ProgramVariant {
    bool lighting = false;   // per-vertex light; otherwise the vertex colour as it is
    bool clipPlane = false;  // primitives clipped, or fragments dropped, behind the user plane
    bool alphaTest = false;  // fragments failing the alpha comparison are dropped
    StageCode stage = StageCode::Uniforms;
    // With lighting: the light switched on. A switch in the code rather than a test on a
    // uniform, around which the software renderer builds slower code for every lit vertex.
    bool lightOn = false;

    int index() const {
        return (lighting ? 1 : 0) | (clipPlane ? 2 : 0) | (alphaTest ? 4 : 0) | static_cast<int>(stage) << 3 |
               (lightOn ? 32 : 0);
    }
    static constexpr int kCount = 64;
    static ProgramVariant ofIndex(int index) {
        return {(index & 1) != 0, (index & 2) != 0, (index & 4) != 0, static_cast<StageCode>(index >> 3 & 3),
                (index & 32) != 0};
    }
    // Whether a state can ask for this variant; the light means nothing unlit.
    bool possible() const { return stage <= StageCode::TextureTimesColourAndAlpha && (lighting || !lightOn); }
};

enum class ShaderStage { Vertex, Fragment };

// The GLSL a context takes: ES 3.00 or 3.30 core; and whether it clips against the user
// plane before rasterising (gl_ClipDistance: core, and ES with GL_EXT_clip_cull_distance)
// rather than dropping fragments.
struct ShaderDialect {
    bool es = false;
    bool clipDistance = true;
};

// The one GLSL body of the device's programs, with the header for the dialect (#version 300
// es and its precisions, or #version 330 core), the stage and the variant's switches.
std::string shaderSource(ShaderDialect dialect, ShaderStage stage, ProgramVariant variant);

}  // namespace glassfalls::platform::gl
