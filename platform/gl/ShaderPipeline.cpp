// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/ShaderPipeline.h"

#include <algorithm>
#include <cmath>

#include "platform/gl/Gl.h"
#include "platform/gl/SharedState.h"

namespace glassfalls::platform::gl {

using namespace gfx;

namespace {

// The vertex shader's inputs.
enum Attribute : GLuint { kPosition = 0, kNormal = 1, kDiffuse = 2, kTexCoord = 3 };

Expected<GLuint> compile(GLenum type, const std::string& source) {
    const GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    glDeleteShader(shader);
    return failure(std::string("the driver cannot compile a shader: ") + log);
}

ShaderPipeline::Uniforms locate(GLuint program) {
    auto at = [program](const char* name) { return glGetUniformLocation(program, name); };
    ShaderPipeline::Uniforms u;
    u.worldView = at("worldView");
    u.worldViewProjection = at("worldViewProjection");
    u.normalMatrix = at("normalMatrix");
    u.localViewer = at("localViewer");
    u.normalizeNormals = at("normalizeNormals");
    u.towardLight = at("towardLight");
    u.lightAmbient = at("lightAmbient");
    u.lightDiffuse = at("lightDiffuse");
    u.lightSpecular = at("lightSpecular");
    u.materialDiffuse = at("materialDiffuse");
    u.materialAmbient = at("materialAmbient");
    u.materialSpecular = at("materialSpecular");
    u.materialEmissive = at("materialEmissive");
    u.materialPower = at("materialPower");
    u.globalAmbient = at("globalAmbient");
    u.fromVertex = at("fromVertex");
    u.world = at("world");
    u.clipPlane = at("clipPlane");
    u.colourStage = at("colourStage");
    u.alphaStage = at("alphaStage");
    u.alphaFunction = at("alphaFunction");
    u.alphaReference = at("alphaReference");
    return u;
}

// The inverse transpose of the upper 3 x 3 of `m` (row-vector convention), in OpenGL's
// column-major order: what turns normals into camera space.
std::array<float, 9> normalMatrixOf(const Matrix4& m) {
    // g[r][c] is the matrix as OpenGL's column-vector convention sees it.
    float g[3][3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) g[r][c] = m.m[c][r];
    }
    float cofactor[3][3];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            cofactor[r][c] = g[r1][c1] * g[r2][c2] - g[r1][c2] * g[r2][c1];
        }
    }
    const float determinant = g[0][0] * cofactor[0][0] + g[0][1] * cofactor[0][1] + g[0][2] * cofactor[0][2];
    const float scale = determinant != 0.0f ? 1.0f / determinant : 0.0f;
    std::array<float, 9> out{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) out[static_cast<size_t>(c * 3 + r)] = cofactor[r][c] * scale;
    }
    return out;
}

void uniform3(GLint at, const ColourValue& c) { glUniform3f(at, c.r, c.g, c.b); }

// One channel group of stage 0 as the fragment shader's (texture first, texture second,
// modulate, add).
std::array<float, 4> stageFunction(TextureOp op, TextureArg arg1, TextureArg arg2) {
    const float first = arg1 == TextureArg::Texture ? 1.0f : 0.0f;
    const float second = arg2 == TextureArg::Texture ? 1.0f : 0.0f;
    switch (op) {
        case TextureOp::Disable: return {0, 0, 0, 0};
        case TextureOp::SelectArg1: return {first, 0, 0, 0};
        case TextureOp::SelectArg2: return {second, 0, 0, 0};
        case TextureOp::Modulate: return {first, second, 1, 0};
        case TextureOp::Add: return {first, second, 0, 1};
    }
    return {0, 0, 0, 0};
}

int alphaFunctionCode(Compare compare) {
    switch (compare) {
        case Compare::Never: return 0;
        case Compare::Less: return 1;
        case Compare::Equal: return 2;
        case Compare::LessEqual: return 3;
        case Compare::Greater: return 4;
        case Compare::NotEqual: return 5;
        case Compare::GreaterEqual: return 6;
        case Compare::Always: return 7;
    }
    return 7;
}

bool textureTimesColour(TextureOp op, TextureArg arg1, TextureArg arg2) {
    const bool fromVertex = arg2 == TextureArg::Diffuse || arg2 == TextureArg::Current;
    return op == TextureOp::Modulate && arg1 == TextureArg::Texture && fromVertex;
}

StageCode stageCodeOf(const DeviceState& state) {
    using namespace textureStage;
    if (!textureTimesColour(state.get(ColourOp), state.get(ColourArg1), state.get(ColourArg2)))
        return StageCode::Uniforms;
    const TextureOp alphaOp = state.get(AlphaOp);
    if (alphaOp == TextureOp::Disable) return StageCode::TextureTimesColour;
    if (textureTimesColour(alphaOp, state.get(AlphaArg1), state.get(AlphaArg2))) {
        return StageCode::TextureTimesColourAndAlpha;
    }
    return StageCode::Uniforms;
}

}  // namespace

Expected<std::unique_ptr<ShaderPipeline>> ShaderPipeline::create(bool es) {
    // Clipped before rasterising, a mirrored trail's half above the water costs nothing;
    // dropped fragment by fragment, it is drawn and thrown away.
    const ShaderDialect dialect{es, !es || hasExtension("GL_EXT_clip_cull_distance")};
    std::unique_ptr<ShaderPipeline> pipeline(
        new ShaderPipeline(dialect, !es || hasExtension("GL_EXT_read_format_bgra")));
    if (auto built = pipeline->build(); !built) return failure(built.error());
    return pipeline;
}

ShaderPipeline::~ShaderPipeline() { release(); }

Expected<void> ShaderPipeline::build() {
    for (int i = 0; i < ProgramVariant::kCount; ++i) {
        const ProgramVariant variant = ProgramVariant::ofIndex(i);
        if (!variant.possible()) continue;
        const auto vertex = compile(GL_VERTEX_SHADER, shaderSource(dialect_, ShaderStage::Vertex, variant));
        if (!vertex) return failure(vertex.error());
        const auto fragment = compile(GL_FRAGMENT_SHADER, shaderSource(dialect_, ShaderStage::Fragment, variant));
        if (!fragment) {
            glDeleteShader(*vertex);
            return failure(fragment.error());
        }
        const GLuint program = glCreateProgram();
        glAttachShader(program, *vertex);
        glAttachShader(program, *fragment);
        glLinkProgram(program);
        glDeleteShader(*vertex);
        glDeleteShader(*fragment);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (linked != GL_TRUE) {
            char log[1024] = {};
            glGetProgramInfoLog(program, sizeof log, nullptr, log);
            glDeleteProgram(program);
            return failure(std::string("the driver cannot link a shader program: ") + log);
        }
        programs_[static_cast<size_t>(i)] = {program, locate(program)};
        glUseProgram(program);
        glUniform1i(glGetUniformLocation(program, "stageTexture"), 0);
    }
    // The arrays' layout lives in this one object, bound for good: core contexts draw from
    // none without one.
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    current_ = nullptr;
    clipping_ = false;
    return {};
}

void ShaderPipeline::release() {
    for (Program& program : programs_) {
        if (program.name) glDeleteProgram(program.name);
        program = {};
    }
    if (vertexArray_) glDeleteVertexArrays(1, &vertexArray_);
    vertexArray_ = 0;
    current_ = nullptr;
}

bool ShaderPipeline::contextRecreated() {
    // The old names died with their context.
    programs_.fill({});
    vertexArray_ = 0;
    return bool(build());
}

void ShaderPipeline::depthRange(float nearZ, float farZ) { glDepthRangef(nearZ, farZ); }

void ShaderPipeline::clearDepth(float z) { glClearDepthf(z); }

void ShaderPipeline::apply(const DeviceState& state, uint32_t dirty, VertexLayout layout, GlTexture& texture) {
    const bool pretransformed = layout.pretransformed();
    const bool lighting = state.get(renderState::Lighting) && !pretransformed;
    const ProgramVariant variant{lighting, (state.get(renderState::ClipPlaneEnable) & 1u) != 0 && !pretransformed,
                                 state.get(renderState::AlphaTestEnable), stageCodeOf(state),
                                 lighting && state.lightEnabled};
    const Program& program = programs_[static_cast<size_t>(variant.index())];
    if (&program != current_) {
        // A program keeps its own uniforms: one taken up again is given everything.
        glUseProgram(program.name);
        current_ = &program;
        dirty = kDirtyAll;
        const bool clipping = variant.clipPlane && dialect_.clipDistance;
        if (clipping != clipping_) {
            if (clipping) {
                glEnable(GL_CLIP_DISTANCE0);
            } else {
                glDisable(GL_CLIP_DISTANCE0);
            }
            clipping_ = clipping;
        }
    }
    if (dirty & kDirtyTransforms) setTransforms(state, pretransformed);
    if (dirty & kDirtyLighting) setLighting(state, layout.hasDiffuse());
    if (dirty & kDirtyRaster) applyRasterState(state);
    if (dirty & kDirtyStage) {
        glBindTexture(GL_TEXTURE_2D, texture.glName());
        setStage(state);
    }
}

void ShaderPipeline::setTransforms(const DeviceState& state, bool pretransformed) {
    const Uniforms& u = current_->uniforms;
    const Matrix4 identity = Matrix4::identity();
    const Matrix4 worldView = pretransformed ? identity : state.world.multiply(state.view);
    const Matrix4 projection = pretransformed ? identity : withOpenGlDepth(state.projection);
    glUniformMatrix4fv(u.worldView, 1, GL_FALSE, &worldView.m[0][0]);
    const Matrix4 worldViewProjection = worldView.multiply(projection);
    glUniformMatrix4fv(u.worldViewProjection, 1, GL_FALSE, &worldViewProjection.m[0][0]);
    if (u.normalMatrix >= 0) {
        const std::array<float, 9> normals = normalMatrixOf(worldView);
        glUniformMatrix3fv(u.normalMatrix, 1, GL_FALSE, normals.data());
        // Toward the light, turned into camera space by the view alone, as a unit vector.
        const Vector& d = state.light.direction;
        const Matrix4& v = state.view;
        float toward[3];
        for (int c = 0; c < 3; ++c) toward[c] = -(d.x * v.m[0][c] + d.y * v.m[1][c] + d.z * v.m[2][c]);
        const float length = std::sqrt(toward[0] * toward[0] + toward[1] * toward[1] + toward[2] * toward[2]);
        if (length > 0.0f) {
            for (float& t : toward) t /= length;
        }
        glUniform3fv(u.towardLight, 1, toward);
    }
    if (u.clipPlane >= 0) {
        glUniformMatrix4fv(u.world, 1, GL_FALSE, &state.world.m[0][0]);
        glUniform4fv(u.clipPlane, 1, state.clipPlane.data());
    }
}

void ShaderPipeline::setLighting(const DeviceState& state, bool hasDiffuse) {
    const Uniforms& u = current_->uniforms;
    if (u.materialDiffuse < 0) return;  // unlit
    glUniform1i(u.normalizeNormals, state.get(renderState::NormalizeNormals) ? 1 : 0);
    glUniform1i(u.localViewer, state.get(renderState::LocalViewer) ? 1 : 0);
    uniform3(u.lightAmbient, state.light.ambient);
    uniform3(u.lightDiffuse, state.light.diffuse);
    uniform3(u.lightSpecular, state.light.specular);
    uniform3(u.globalAmbient, colourValueOf(state.get(renderState::Ambient)));
    const bool specular = state.get(renderState::SpecularEnable);
    const Material& m = state.material;
    glUniform4f(u.materialDiffuse, m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a);
    uniform3(u.materialAmbient, m.ambient);
    uniform3(u.materialSpecular, specular ? m.specular : ColourValue{});
    uniform3(u.materialEmissive, m.emissive);
    glUniform1f(u.materialPower, std::clamp(m.power, 0.0f, 128.0f));

    const VertexColourFollowers f = vertexColourFollowers(state, hasDiffuse);
    auto one = [](bool follows) { return follows ? 1.0f : 0.0f; };
    glUniform4f(u.fromVertex, one(f.diffuse), one(f.ambient), one(f.emissive), one(f.specular));
}

void ShaderPipeline::applyRasterState(const DeviceState& state) {
    applyDepthBlendCull(state);
    const Uniforms& u = current_->uniforms;
    if (u.alphaFunction < 0) return;
    glUniform1i(u.alphaFunction, alphaFunctionCode(state.get(renderState::AlphaFunc)));
    glUniform1f(u.alphaReference, static_cast<float>(state.get(renderState::AlphaRef) & 0xFF) / 255.0f);
}

void ShaderPipeline::setStage(const DeviceState& state) {
    const Uniforms& u = current_->uniforms;
    if (u.colourStage < 0) return;  // the variant's code is the stage
    const TextureOp colourOp = state.get(textureStage::ColourOp);
    // With the first stage off, the vertex colour and alpha pass as they are.
    const std::array<float, 4> colour =
        stageFunction(colourOp, state.get(textureStage::ColourArg1), state.get(textureStage::ColourArg2));
    const std::array<float, 4> alpha =
        colourOp == TextureOp::Disable
            ? std::array<float, 4>{0, 0, 0, 0}
            : stageFunction(state.get(textureStage::AlphaOp), state.get(textureStage::AlphaArg1),
                            state.get(textureStage::AlphaArg2));
    glUniform4fv(u.colourStage, 1, colour.data());
    glUniform4fv(u.alphaStage, 1, alpha.data());
}

void ShaderPipeline::pointArrays(VertexLayout layout, size_t offset, uint32_t stride) {
    const auto glStride = static_cast<GLsizei>(stride);
    // An attribute the vertices have is read from the buffer; one they lack takes `absent`.
    auto attribute = [&](Attribute index, bool present, GLint size, GLenum type, size_t part, const float(&absent)[4]) {
        if (present) {
            glVertexAttribPointer(index, size, type, type == GL_UNSIGNED_BYTE ? GL_TRUE : GL_FALSE, glStride,
                                  reinterpret_cast<const void*>(offset + part));
            glEnableVertexAttribArray(index);
        } else {
            glDisableVertexAttribArray(index);
            glVertexAttrib4fv(index, absent);
        }
    };
    attribute(kPosition, true, layout.positionComponents(), GL_FLOAT, 0, {0, 0, 0, 1});
    attribute(kNormal, layout.hasNormal(), 3, GL_FLOAT, layout.normalOffset(), {0, 0, 0, 1});
    attribute(kDiffuse, layout.hasDiffuse(), 4, GL_UNSIGNED_BYTE, layout.diffuseOffset(), {1, 1, 1, 1});
    attribute(kTexCoord, layout.hasTexCoord(), 2, GL_FLOAT, layout.texCoordOffset(), {0, 0, 0, 1});
}

}  // namespace glassfalls::platform::gl
