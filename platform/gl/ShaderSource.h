#pragma once

#include <string>

namespace glassfalls::platform::gl {

// What a program variant is built for: the state that changes its code. Everything else
// (matrices, light, material, stage operations) is a uniform of every variant.
struct ProgramVariant {
    bool lighting = false;   // per-vertex light; otherwise the vertex colour as it is
    bool clipPlane = false;  // fragments behind the user plane are dropped
    bool alphaTest = false;  // fragments failing the alpha comparison are dropped

    int index() const { return (lighting ? 1 : 0) | (clipPlane ? 2 : 0) | (alphaTest ? 4 : 0); }
    static constexpr int kCount = 8;
    static ProgramVariant ofIndex(int index) { return {(index & 1) != 0, (index & 2) != 0, (index & 4) != 0}; }
};

enum class ShaderStage { Vertex, Fragment };

// The one GLSL body of the device's programs, with the header for `es` (#version 300 es and
// its precisions) or not (#version 330 core), the stage and the variant's switches.
std::string shaderSource(bool es, ShaderStage stage, ProgramVariant variant);

}  // namespace glassfalls::platform::gl
