// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/SharedState.h"

#include <cstring>

namespace glassfalls::platform::gl {

using namespace gfx;

// The mappings below name every value of their type and have no default, so a value added
// to a type and not mapped does not compile (the build makes a switch that misses one an
// error).
GLenum glCompare(Compare value) {
    switch (value) {
        case Compare::Never: return GL_NEVER;
        case Compare::Less: return GL_LESS;
        case Compare::Equal: return GL_EQUAL;
        case Compare::LessEqual: return GL_LEQUAL;
        case Compare::Greater: return GL_GREATER;
        case Compare::NotEqual: return GL_NOTEQUAL;
        case Compare::GreaterEqual: return GL_GEQUAL;
        case Compare::Always: return GL_ALWAYS;
    }
    return GL_ALWAYS;  // a number no value has, read from a raw state
}

GLenum glBlendFactor(Blend value) {
    switch (value) {
        case Blend::Zero: return GL_ZERO;
        case Blend::One: return GL_ONE;
        case Blend::SrcColour: return GL_SRC_COLOR;
        case Blend::InvSrcColour: return GL_ONE_MINUS_SRC_COLOR;
        case Blend::SrcAlpha: return GL_SRC_ALPHA;
        case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
        case Blend::DestAlpha: return GL_DST_ALPHA;
        case Blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
        case Blend::DestColour: return GL_DST_COLOR;
        case Blend::InvDestColour: return GL_ONE_MINUS_DST_COLOR;
    }
    return GL_ONE;
}

void applyDepthBlendCull(const DeviceState& state) {
    if (state.get(renderState::ZEnable)) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(state.get(renderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);
    glDepthFunc(glCompare(state.get(renderState::ZFunc)));

    if (state.get(renderState::AlphaBlendEnable)) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    glBlendFunc(glBlendFactor(state.get(renderState::SrcBlend)), glBlendFactor(state.get(renderState::DestBlend)));

    // Both interfaces name the winding as the viewer sees it on the screen; the device's
    // front faces are the clockwise ones.
    glFrontFace(GL_CW);
    switch (state.get(renderState::CullMode)) {
        case Cull::Clockwise:
            glEnable(GL_CULL_FACE);
            glCullFace(GL_FRONT);
            break;
        case Cull::CounterClockwise:
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            break;
        case Cull::None: glDisable(GL_CULL_FACE); break;
    }
}

// z' = 2 z - w, applied after the projection.
Matrix4 withOpenGlDepth(const Matrix4& projection) {
    Matrix4 remap = Matrix4::identity();
    remap.m[2][2] = 2.0f;
    remap.m[3][2] = -1.0f;
    return projection.multiply(remap);
}

VertexColourFollowers vertexColourFollowers(const DeviceState& state, bool hasDiffuse) {
    const bool fromVertex = hasDiffuse && state.get(renderState::ColorVertex);
    auto tracks = [&](StateKey<RenderState, MaterialSource> source) {
        return fromVertex && state.get(source) == MaterialSource::Colour1;
    };
    VertexColourFollowers follows;
    follows.diffuse = tracks(renderState::DiffuseMaterialSource);
    follows.ambient = tracks(renderState::AmbientMaterialSource);
    if (follows.diffuse || follows.ambient) return follows;
    follows.emissive = tracks(renderState::EmissiveMaterialSource);
    follows.specular =
        !follows.emissive && state.get(renderState::SpecularEnable) && tracks(renderState::SpecularMaterialSource);
    return follows;
}

ColourValue colourValueOf(Colour argb) {
    auto channel = [argb](int shift) { return static_cast<float>((argb >> shift) & 0xFF) / 255.0f; };
    return {channel(16), channel(8), channel(0), channel(24)};
}

bool hasExtension(const char* name) {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const auto* each = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (each && std::strcmp(each, name) == 0) return true;
    }
    return false;
}

}  // namespace glassfalls::platform::gl
