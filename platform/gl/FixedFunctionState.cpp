// How the device's state becomes OpenGL fixed-function state, applied lazily before a draw.
#include <algorithm>

#include "platform/gl/Gl.h"
#include "platform/gl/GlDevice.h"

namespace glassfalls::platform::gl {

using namespace gfx;

namespace {

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

// Stage 0 has nothing before it, so "current" is the vertex colour.
GLint glSource(TextureArg arg) {
    switch (arg) {
        case TextureArg::Texture: return GL_TEXTURE;
        case TextureArg::Diffuse:
        case TextureArg::Current: return GL_PRIMARY_COLOR;
    }
    return GL_PRIMARY_COLOR;
}

GLint glAddress(TextureAddress mode) {
    switch (mode) {
        case TextureAddress::Wrap: return GL_REPEAT;
        case TextureAddress::Mirror: return GL_MIRRORED_REPEAT;
        case TextureAddress::Clamp: return GL_CLAMP_TO_EDGE;
    }
    return GL_REPEAT;
}

// One channel group (colour or alpha) of the texture stage as a GL_COMBINE function.
void combine(GLenum function, GLenum source0, GLenum source1, TextureOp op, TextureArg arg1,
             TextureArg arg2) {
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

// The depth range [0, 1] of the device's projections, moved to OpenGL's [-1, 1]:
// z' = 2 z - w, applied after the projection.
Matrix4 withOpenGlDepth(const Matrix4& projection) {
    Matrix4 remap = Matrix4::identity();
    remap.m[2][2] = 2.0f;
    remap.m[3][2] = -1.0f;
    return projection.multiply(remap);
}

}  // namespace

void GlDevice::prepareDraw(bool pretransformed, bool hasDiffuse) {
    if (pretransformed != lastPretransformed_) dirty_ |= kDirtyTransforms | kDirtyLighting;
    if (hasDiffuse != lastHadDiffuse_) dirty_ |= kDirtyLighting;
    lastPretransformed_ = pretransformed;
    lastHadDiffuse_ = hasDiffuse;
    if (dirty_ & kDirtyTransforms) applyTransforms(pretransformed);
    if (dirty_ & kDirtyLighting) applyLightingState(pretransformed, hasDiffuse);
    if (dirty_ & kDirtyRaster) applyRasterState();
    if (dirty_ & kDirtyStage) applyTextureStage();
    if (state_.texture) applySampler(*boundTexture());
    dirty_ = 0;
}

void GlDevice::applyTransforms(bool pretransformed) {
    if (pretransformed) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CLIP_PLANE0);
        return;
    }
    glMatrixMode(GL_PROJECTION);
    const Matrix4 projection = withOpenGlDepth(state_.projection);
    glLoadMatrixf(&projection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    // The light and the clip plane are given in world space: OpenGL takes them through the
    // modelview in force when they are given, so give them under the view alone, whatever
    // view (a mirrored one too) is current.
    glLoadMatrixf(&state_.view.m[0][0]);
    const Vector& d = state_.light.direction;
    const float towardLight[4] = {-d.x, -d.y, -d.z, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, towardLight);
    const double plane[4] = {state_.clipPlane[0], state_.clipPlane[1], state_.clipPlane[2],
                             state_.clipPlane[3]};
    glClipPlane(GL_CLIP_PLANE0, plane);
    if (getRenderState(renderState::ClipPlaneEnable) & 1u) {
        glEnable(GL_CLIP_PLANE0);
    } else {
        glDisable(GL_CLIP_PLANE0);
    }
    const Matrix4 worldView = state_.world.multiply(state_.view);
    glLoadMatrixf(&worldView.m[0][0]);
}

void GlDevice::applyLightingState(bool pretransformed, bool hasDiffuse) {
    const bool lighting = getRenderState(renderState::Lighting) && !pretransformed;
    if (!lighting) {
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        return;
    }
    glEnable(GL_LIGHTING);
    if (state_.lightEnabled) {
        glEnable(GL_LIGHT0);
    } else {
        glDisable(GL_LIGHT0);
    }
    loadColour(GL_LIGHT0, GL_DIFFUSE, state_.light.diffuse);
    loadColour(GL_LIGHT0, GL_SPECULAR, state_.light.specular);
    loadColour(GL_LIGHT0, GL_AMBIENT, state_.light.ambient);

    const Colour ambient = getRenderState(renderState::Ambient);
    const float global[4] = {static_cast<float>((ambient >> 16) & 0xFF) / 255.0f,
                             static_cast<float>((ambient >> 8) & 0xFF) / 255.0f,
                             static_cast<float>(ambient & 0xFF) / 255.0f,
                             static_cast<float>(ambient >> 24) / 255.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, global);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, getRenderState(renderState::LocalViewer) ? 1 : 0);
    // Highlights are added after texturing, and only when asked for.
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    const bool specular = getRenderState(renderState::SpecularEnable);
    if (getRenderState(renderState::NormalizeNormals)) {
        glEnable(GL_NORMALIZE);
    } else {
        glDisable(GL_NORMALIZE);
    }

    // Material values first, with colour tracking off; then the vertex colour takes over
    // the properties whose source is the vertex's diffuse colour.
    glDisable(GL_COLOR_MATERIAL);
    const Material& m = state_.material;
    materialColour(GL_DIFFUSE, m.diffuse);
    materialColour(GL_AMBIENT, m.ambient);
    materialColour(GL_SPECULAR, specular ? m.specular : ColourValue{});
    materialColour(GL_EMISSION, m.emissive);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m.power, 0.0f, 128.0f));

    const bool fromVertex = hasDiffuse && getRenderState(renderState::ColorVertex);
    auto tracks = [&](StateKey<RenderState, MaterialSource> source) {
        return fromVertex && getRenderState(source) == MaterialSource::Colour1;
    };
    const bool diffuse = tracks(renderState::DiffuseMaterialSource);
    const bool ambientTracks = tracks(renderState::AmbientMaterialSource);
    GLenum mode = 0;
    if (diffuse && ambientTracks) {
        mode = GL_AMBIENT_AND_DIFFUSE;
    } else if (diffuse) {
        mode = GL_DIFFUSE;
    } else if (ambientTracks) {
        mode = GL_AMBIENT;
    } else if (tracks(renderState::EmissiveMaterialSource)) {
        mode = GL_EMISSION;
    } else if (specular && tracks(renderState::SpecularMaterialSource)) {
        mode = GL_SPECULAR;
    }
    if (mode != 0) {
        glColorMaterial(GL_FRONT_AND_BACK, mode);
        glEnable(GL_COLOR_MATERIAL);
    }
}

void GlDevice::applyRasterState() {
    if (getRenderState(renderState::ZEnable)) {
        glEnable(GL_DEPTH_TEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDepthMask(getRenderState(renderState::ZWriteEnable) ? GL_TRUE : GL_FALSE);
    glDepthFunc(glCompare(getRenderState(renderState::ZFunc)));

    if (getRenderState(renderState::AlphaBlendEnable)) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    glBlendFunc(glBlendFactor(getRenderState(renderState::SrcBlend)),
                glBlendFactor(getRenderState(renderState::DestBlend)));

    if (getRenderState(renderState::AlphaTestEnable)) {
        glEnable(GL_ALPHA_TEST);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    glAlphaFunc(glCompare(getRenderState(renderState::AlphaFunc)),
                static_cast<float>(getRenderState(renderState::AlphaRef) & 0xFF) / 255.0f);

    // Both interfaces name the winding as the viewer sees it on the screen; the device's
    // front faces are the clockwise ones.
    glFrontFace(GL_CW);
    switch (getRenderState(renderState::CullMode)) {
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

void GlDevice::applyTextureStage() {
    const TextureOp colourOp = getTextureStageState(0, textureStage::ColourOp);
    // No texture samples as opaque white, so that "texture times vertex colour" is the
    // vertex colour. The stage's texture stays bound even while the stage is off, so that
    // its sampler settings always go to it.
    GlTexture* texture = state_.texture ? boundTexture() : white_.get();
    glBindTexture(GL_TEXTURE_2D, texture->glName());
    if (colourOp == TextureOp::Disable) {
        // With the first stage off, every later one is off too: the vertex colour and alpha.
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    auto stage = [this](auto key) { return getTextureStageState(0, key); };
    combine(GL_COMBINE_RGB, GL_SOURCE0_RGB, GL_SOURCE1_RGB, colourOp,
            stage(textureStage::ColourArg1), stage(textureStage::ColourArg2));
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

void GlDevice::applySampler(GlTexture& texture) {
    GlTexture::AppliedSampler wanted;
    wanted.minFilter = getSamplerState(0, sampler::MinFilter);
    wanted.magFilter = getSamplerState(0, sampler::MagFilter);
    wanted.mipFilter = getSamplerState(0, sampler::MipFilter);
    wanted.addressU = getSamplerState(0, sampler::AddressU);
    wanted.addressV = getSamplerState(0, sampler::AddressV);
    wanted.valid = true;
    if (texture.applied == wanted) return;
    texture.applied = wanted;

    const bool linear = wanted.minFilter == TextureFilter::Linear;
    GLint minFilter = linear ? GL_LINEAR : GL_NEAREST;
    // A single-level texture has nothing to filter between; asking for mipmaps would make
    // OpenGL treat it as incomplete.
    if (texture.levelCount() > 1 && wanted.mipFilter == TextureFilter::Linear) {
        minFilter = linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    } else if (texture.levelCount() > 1 && wanted.mipFilter == TextureFilter::Point) {
        minFilter = linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    }
    // The texture is the stage's own, already bound by applyTextureStage.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    wanted.magFilter == TextureFilter::Linear ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, glAddress(wanted.addressU));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, glAddress(wanted.addressV));
}

}  // namespace glassfalls::platform::gfx
