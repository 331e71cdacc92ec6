// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/ShaderSource.h"

namespace glassfalls::platform::gl {

namespace {

// Computes per vertex, in camera space, what the fixed-function pipeline does with one
// directional light: emissive + ambient x (global + light ambient) + diffuse x max(N.L, 0),
// and, apart so that it is added after texturing, specular x max(N.H, 0)^power where N.L > 0.
// Texels and vertex colours arrive as B, G, R, A bytes and are read back in that order.
constexpr const char* kBody = R"glsl(
#ifdef VERTEX_STAGE
layout(location = 0) in vec4 position;  // a screen vertex's is already in clip space
layout(location = 1) in vec3 normal;
layout(location = 2) in vec4 diffuse;
layout(location = 3) in vec2 texCoord;

uniform mat4 worldView;
// Projection after worldView, made once on the processor as the fixed-function pipeline
// makes it: positions then land on the same pixels to the last bit.
uniform mat4 worldViewProjection;
#if LIGHTING
uniform mat3 normalMatrix;
uniform bool normalizeNormals;
uniform bool localViewer;
uniform vec3 towardLight;  // unit, camera space
uniform vec3 lightAmbient;
uniform vec3 lightDiffuse;
uniform vec3 lightSpecular;
uniform vec4 materialDiffuse;
uniform vec3 materialAmbient;
uniform vec3 materialSpecular;
uniform vec3 materialEmissive;
uniform float materialPower;
uniform vec3 globalAmbient;
uniform vec4 fromVertex;  // 1 where diffuse, ambient, emissive, specular follow the vertex colour
#endif
#if CLIP_PLANE
uniform mat4 world;
uniform vec4 clipPlane;  // world space
#if !CLIP_DISTANCE
out float clipDistance;
#endif
#endif

out vec4 primary;
#if LIGHTING
out vec3 secondary;
#endif
out vec2 uv;

void main() {
    vec4 colour = diffuse.bgra;
    vec4 eye = worldView * position;
#if LIGHTING
    vec3 n = normalMatrix * normal;
    if (normalizeNormals && dot(n, n) > 0.0) n = normalize(n);
    vec4 diffuseM = mix(materialDiffuse, colour, fromVertex.x);
    vec3 ambientM = mix(materialAmbient, colour.rgb, fromVertex.y);
    vec3 emissiveM = mix(materialEmissive, colour.rgb, fromVertex.z);
    vec3 specularM = mix(materialSpecular, colour.rgb, fromVertex.w);
    vec3 lit = emissiveM + ambientM * globalAmbient;
    vec3 highlight = vec3(0.0);
#if LIGHT_ON
    {
        float nl = dot(n, towardLight);
        lit += ambientM * lightAmbient + max(nl, 0.0) * diffuseM.rgb * lightDiffuse;
        if (nl > 0.0) {
            vec3 toViewer = localViewer ? normalize(-eye.xyz) : vec3(0.0, 0.0, 1.0);
            float nh = max(dot(n, normalize(towardLight + toViewer)), 0.0);
            float shine = materialPower == 0.0 ? 1.0 : (nh > 0.0 ? pow(nh, materialPower) : 0.0);
            highlight = shine * specularM * lightSpecular;
        }
    }
#endif
    primary = vec4(clamp(lit, 0.0, 1.0), clamp(diffuseM.a, 0.0, 1.0));
    secondary = clamp(highlight, 0.0, 1.0);
#else
    primary = colour;
#endif
#if CLIP_PLANE && CLIP_DISTANCE
    gl_ClipDistance[0] = dot(clipPlane, world * position);
#elif CLIP_PLANE
    clipDistance = dot(clipPlane, world * position);
#endif
    uv = texCoord;
    gl_Position = worldViewProjection * position;
    gl_PointSize = 1.0;
}
#endif

#ifdef FRAGMENT_STAGE
in vec4 primary;
#if LIGHTING
in vec3 secondary;
#endif
in vec2 uv;
#if CLIP_PLANE && !CLIP_DISTANCE
in float clipDistance;
#endif

uniform sampler2D stageTexture;
#if STAGE == 0
// Stage 0 per channel group: (first argument is the texture, second is, modulate, add);
// neither modulate nor add selects the first argument.
uniform vec4 colourStage;
uniform vec4 alphaStage;
#endif
#if ALPHA_TEST
uniform int alphaFunction;  // 0 never, 1 less, 2 equal, 3 less or equal, 4 greater, 5 not equal, 6 greater or equal, 7 always
uniform float alphaReference;
#endif

out vec4 fragColour;

#if STAGE == 0
vec4 combine(vec4 stage, vec4 texel, vec4 vertex) {
    vec4 first = mix(vertex, texel, stage.x);
    vec4 second = mix(vertex, texel, stage.y);
    return clamp(first * mix(vec4(1.0), second, stage.z) + stage.w * second, 0.0, 1.0);
}
#endif

bool passes(float alpha) {
#if ALPHA_TEST
    switch (alphaFunction) {
        case 0: return false;
        case 1: return alpha < alphaReference;
        case 2: return alpha == alphaReference;
        case 3: return alpha <= alphaReference;
        case 4: return alpha > alphaReference;
        case 5: return alpha != alphaReference;
        case 6: return alpha >= alphaReference;
        default: return true;
    }
#else
    return true;
#endif
}

void main() {
#if CLIP_PLANE && !CLIP_DISTANCE
    if (clipDistance < 0.0) discard;
#endif
    vec4 texel = texture(stageTexture, uv).bgra;
#if STAGE == 1
    vec4 colour = vec4(texel.rgb * primary.rgb, primary.a);
#elif STAGE == 2
    vec4 colour = texel * primary;
#else
    vec4 colour = vec4(combine(colourStage, texel, primary).rgb, combine(alphaStage, texel, primary).a);
#endif
    if (!passes(colour.a)) discard;
#if LIGHTING
    // The frame's 8-bit channels clamp what goes past 1.
    colour.rgb += secondary;
#endif
    fragColour = colour;
}
#endif
)glsl";

}  // namespace

std::string shaderSource(ShaderDialect dialect, ShaderStage stage, ProgramVariant variant) {
    std::string source = dialect.es ? "#version 300 es\n" : "#version 330 core\n";
    if (dialect.es && dialect.clipDistance) source += "#extension GL_EXT_clip_cull_distance : require\n";
    if (dialect.es) source += "precision highp float;\nprecision highp int;\n";
    source += std::string("#define CLIP_DISTANCE ") + (dialect.clipDistance ? "1" : "0") + "\n";
    source += stage == ShaderStage::Vertex ? "#define VERTEX_STAGE 1\n" : "#define FRAGMENT_STAGE 1\n";
    source += std::string("#define LIGHTING ") + (variant.lighting ? "1" : "0") + "\n";
    source += std::string("#define CLIP_PLANE ") + (variant.clipPlane ? "1" : "0") + "\n";
    source += std::string("#define ALPHA_TEST ") + (variant.alphaTest ? "1" : "0") + "\n";
    source += "#define STAGE " + std::to_string(static_cast<int>(variant.stage)) + "\n";
    source += std::string("#define LIGHT_ON ") + (variant.lightOn ? "1" : "0") + "\n";
    return source + kBody;
}

}  // namespace glassfalls::platform::gl
