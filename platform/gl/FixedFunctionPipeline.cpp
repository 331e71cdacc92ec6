// SPDX-License-Identifier: GPL-3.0-or-later
// How the device's state becomes OpenGL fixed-function state, applied lazily before a draw.
#include "platform/gl/FixedFunctionPipeline.h"

#include <algorithm>

#include "platform/gl/Gl.h"
#include "platform/gl/SharedState.h"

namespace glassfalls::platform::gl {

using namespace gfx;

namespace {

// Stage 0 has nothing before it, so "current" is the vertex colour.
GLint glSource(TextureArg arg) {
    switch (arg) {
        case TextureArg::Texture: return GL_TEXTURE;
        case TextureArg::Diffuse:
        case TextureArg::Current: return GL_PRIMARY_COLOR;
    }
    return GL_PRIMARY_COLOR;
}

// One channel group (colour or alpha) of the texture stage as a GL_COMBINE function.
void combine(GLenum function, GLenum source0, GLenum source1, TextureOp op, TextureArg arg1, TextureArg arg2) {
    switch (op) {
        case TextureOp::SelectArg1:
            glTexEnvi(GL_TEXTURE_ENV, function, GL_REPLACE);
            glTexEnvi(GL_TEXTURE_ENV, source0, glSource(arg1));
            break;
        case TextureOp::SelectArg2:
            glTexEnvi(GL_TEXTURE_ENV, function, GL_REPLACE);
            glTexEnvi(GL_TEXTURE_ENV, source0, glSource(arg2));
            break;
        case TextureOp::Add:
        case TextureOp::Modulate:
            glTexEnvi(GL_TEXTURE_ENV, function, op == TextureOp::Add ? GL_ADD : GL_MODULATE);
            glTexEnvi(GL_TEXTURE_ENV, source0, glSource(arg1));
            glTexEnvi(GL_TEXTURE_ENV, source1, glSource(arg2));
            break;
        case TextureOp::Disable:  // the vertex colour passes through
            glTexEnvi(GL_TEXTURE_ENV, function, GL_REPLACE);
            glTexEnvi(GL_TEXTURE_ENV, source0, GL_PRIMARY_COLOR);
            break;
    }
}

void loadColour(GLenum light, GLenum property, const ColourValue& c) {
    const float v[4] = {c.r, c.g, c.b, c.a};
    glLightfv(light, property, v);
}

void materialColour(GLenum property, const ColourValue& c) {
    const float v[4] = {c.r, c.g, c.b, c.a};
    glMaterialfv(GL_FRONT_AND_BACK, property, v);
}

}  // namespace

void FixedFunctionPipeline::apply(const DeviceState& state, uint32_t dirty, VertexLayout layout, GlTexture& texture) {
    if (dirty & kDirtyTransforms) applyTransforms(state, layout.pretransformed());
    if (dirty & kDirtyLighting) applyLightingState(state, layout.pretransformed(), layout.hasDiffuse());
    if (dirty & kDirtyRaster) applyRasterState(state);
    if (dirty & kDirtyStage) applyTextureStage(state, texture);
}

void FixedFunctionPipeline::depthRange(float nearZ, float farZ) { glDepthRange(nearZ, farZ); }

void FixedFunctionPipeline::clearDepth(float z) { glClearDepth(z); }

void FixedFunctionPipeline::applyTransforms(const DeviceState& state, bool pretransformed) {
    if (pretransformed) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CLIP_PLANE0);
        return;
    }
    glMatrixMode(GL_PROJECTION);
    const Matrix4 projection = withOpenGlDepth(state.projection);
    glLoadMatrixf(&projection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    // The light and the clip plane are given in world space: OpenGL takes them through the
    // modelview in force when they are given, so give them under the view alone, whatever
    // view (a mirrored one too) is current.
    glLoadMatrixf(&state.view.m[0][0]);
    const Vector& d = state.light.direction;
    const float towardLight[4] = {-d.x, -d.y, -d.z, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, towardLight);
    const double plane[4] = {state.clipPlane[0], state.clipPlane[1], state.clipPlane[2], state.clipPlane[3]};
    glClipPlane(GL_CLIP_PLANE0, plane);
    if (state.get(renderState::ClipPlaneEnable) & 1u) {
        glEnable(GL_CLIP_PLANE0);
    } else {
        glDisable(GL_CLIP_PLANE0);
    }
    const Matrix4 worldView = state.world.multiply(state.view);
    glLoadMatrixf(&worldView.m[0][0]);
}

void FixedFunctionPipeline::applyLightingState(const DeviceState& state, bool pretransformed, bool hasDiffuse) {
    const bool lighting = state.get(renderState::Lighting) && !pretransformed;
    if (!lighting) {
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        return;
    }
    glEnable(GL_LIGHTING);
    if (state.lightEnabled) {
        glEnable(GL_LIGHT0);
    } else {
        glDisable(GL_LIGHT0);
    }
    loadColour(GL_LIGHT0, GL_DIFFUSE, state.light.diffuse);
    loadColour(GL_LIGHT0, GL_SPECULAR, state.light.specular);
    loadColour(GL_LIGHT0, GL_AMBIENT, state.light.ambient);

    const ColourValue ambient = colourValueOf(state.get(renderState::Ambient));
    const float global[4] = {ambient.r, ambient.g, ambient.b, ambient.a};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, global);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, state.get(renderState::LocalViewer) ? 1 : 0);
    // Highlights are added after texturing, and only when asked for.
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    const bool specular = state.get(renderState::SpecularEnable);
    if (state.get(renderState::NormalizeNormals)) {
        glEnable(GL_NORMALIZE);
    } else {
        glDisable(GL_NORMALIZE);
    }

    // Material values first, with colour tracking off; then the vertex colour takes over
    // the properties whose source is the vertex's diffuse colour.
    glDisable(GL_COLOR_MATERIAL);
    const Material& m = state.material;
    materialColour(GL_DIFFUSE, m.diffuse);
    materialColour(GL_AMBIENT, m.ambient);
    materialColour(GL_SPECULAR, specular ? m.specular : ColourValue{});
    materialColour(GL_EMISSION, m.emissive);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m.power, 0.0f, 128.0f));

    const VertexColourFollowers follows = vertexColourFollowers(state, hasDiffuse);
    GLenum mode = 0;
    if (follows.diffuse && follows.ambient) {
        mode = GL_AMBIENT_AND_DIFFUSE;
    } else if (follows.diffuse) {
        mode = GL_DIFFUSE;
    } else if (follows.ambient) {
        mode = GL_AMBIENT;
    } else if (follows.emissive) {
        mode = GL_EMISSION;
    } else if (follows.specular) {
        mode = GL_SPECULAR;
    }
    if (mode != 0) {
        glColorMaterial(GL_FRONT_AND_BACK, mode);
        glEnable(GL_COLOR_MATERIAL);
    }
}

void FixedFunctionPipeline::applyRasterState(const DeviceState& state) {
    applyDepthBlendCull(state);
    if (state.get(renderState::AlphaTestEnable)) {
        glEnable(GL_ALPHA_TEST);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    glAlphaFunc(glCompare(state.get(renderState::AlphaFunc)),
                static_cast<float>(state.get(renderState::AlphaRef) & 0xFF) / 255.0f);
}

void FixedFunctionPipeline::applyTextureStage(const DeviceState& state, GlTexture& texture) {
    const TextureOp colourOp = state.get(textureStage::ColourOp);
    // The stage's texture stays bound even while the stage is off, so that its sampler
    // settings always go to it.
    glBindTexture(GL_TEXTURE_2D, texture.glName());
    if (colourOp == TextureOp::Disable) {
        // With the first stage off, every later one is off too: the vertex colour and alpha.
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    auto stage = [&state](auto key) { return state.get(key); };
    combine(GL_COMBINE_RGB, GL_SOURCE0_RGB, GL_SOURCE1_RGB, colourOp, stage(textureStage::ColourArg1),
            stage(textureStage::ColourArg2));
    // A disabled alpha operation takes the vertex's alpha.
    combine(GL_COMBINE_ALPHA, GL_SOURCE0_ALPHA, GL_SOURCE1_ALPHA, stage(textureStage::AlphaOp),
            stage(textureStage::AlphaArg1), stage(textureStage::AlphaArg2));
    for (GLenum operand : {GL_OPERAND0_RGB, GL_OPERAND1_RGB}) {
        glTexEnvi(GL_TEXTURE_ENV, operand, GL_SRC_COLOR);
    }
    for (GLenum operand : {GL_OPERAND0_ALPHA, GL_OPERAND1_ALPHA}) {
        glTexEnvi(GL_TEXTURE_ENV, operand, GL_SRC_ALPHA);
    }
}

void FixedFunctionPipeline::pointArrays(VertexLayout layout, size_t offset, uint32_t stride) {
    const auto at = [offset](size_t part) { return reinterpret_cast<const void*>(offset + part); };
    const auto glStride = static_cast<GLsizei>(stride);
    glVertexPointer(layout.positionComponents(), GL_FLOAT, glStride, at(0));
    glEnableClientState(GL_VERTEX_ARRAY);
    if (layout.hasNormal()) {
        glNormalPointer(GL_FLOAT, glStride, at(layout.normalOffset()));
        glEnableClientState(GL_NORMAL_ARRAY);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0, 0, 0);
    }
    if (layout.hasDiffuse()) {
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, glStride, at(layout.diffuseOffset()));
        glEnableClientState(GL_COLOR_ARRAY);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1, 1, 1, 1);
    }
    if (layout.hasTexCoord()) {
        glTexCoordPointer(2, GL_FLOAT, glStride, at(layout.texCoordOffset()));
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoord2f(0, 0);
    }
}

}  // namespace glassfalls::platform::gl
