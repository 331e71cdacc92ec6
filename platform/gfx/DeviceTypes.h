// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The vocabulary of the fixed-function drawing device: state names and values keep the
// numbers of the interface the scenes were designed against, so that a state written as a
// number elsewhere (a vertex format of 0x142, say) means the same thing here.
namespace glassfalls::platform::gfx {

using Colour = uint32_t;  // 0xAARRGGBB

enum class Result {
    Ok,
    DeviceLost,
    DeviceNotReset,
    DriverInternalError,
    InvalidCall,
    OutOfVideoMemory,
    OutOfMemory,
    Failed,
};

// The values the states take, each its own type: a value of one cannot be given to a
// state of another.
enum class Cull : uint32_t { None = 1, Clockwise = 2, CounterClockwise = 3 };
enum class Compare : uint32_t {
    Never = 1,
    Less = 2,
    Equal = 3,
    LessEqual = 4,
    Greater = 5,
    NotEqual = 6,
    GreaterEqual = 7,
    Always = 8,
};
enum class Blend : uint32_t {
    Zero = 1,
    One = 2,
    SrcColour = 3,
    InvSrcColour = 4,
    SrcAlpha = 5,
    InvSrcAlpha = 6,
    DestAlpha = 7,
    InvDestAlpha = 8,
    DestColour = 9,
    InvDestColour = 10,
};
enum class MaterialSource : uint32_t { Material = 0, Colour1 = 1, Colour2 = 2 };
enum class TextureOp : uint32_t { Disable = 1, SelectArg1 = 2, SelectArg2 = 3, Modulate = 4, Add = 7 };
enum class TextureArg : uint32_t { Diffuse = 0, Current = 1, Texture = 2 };
enum class TextureAddress : uint32_t { Wrap = 1, Mirror = 2, Clamp = 3 };
enum class TextureFilter : uint32_t { None = 0, Point = 1, Linear = 2 };

// Which group of OpenGL state a state belongs to, given again before the next draw when it
// changes. Kept: recorded and read back, but nothing the piece draws depends on it.
enum class StateGroup : uint32_t {
    Kept = 0,
    Transforms = 1u << 0,  // matrices, light position, clip plane
    Lighting = 1u << 1,    // light model, material, colour tracking
    Raster = 1u << 2,      // depth, blending, alpha test, culling
    Stage = 1u << 3,       // texture binding and combiner
    Sampler = 1u << 4,     // the bound texture's filtering and addressing
};

// Every state, one row each: its name, its number, the type of its values, its group and its
// value when the device is made. A new state is one row here, then its use where its group
// is given to OpenGL; a row without a group, a type or a value does not compile.
#define GLASSFALLS_RENDER_STATES(X)                                                    \
    X(ZEnable, 7, bool, Raster, true)                                                  \
    X(ZWriteEnable, 14, bool, Raster, true)                                            \
    X(AlphaTestEnable, 15, bool, Raster, false)                                        \
    X(SrcBlend, 19, Blend, Raster, Blend::One)                                         \
    X(DestBlend, 20, Blend, Raster, Blend::Zero)                                       \
    X(CullMode, 22, Cull, Raster, Cull::CounterClockwise)                              \
    X(ZFunc, 23, Compare, Raster, Compare::LessEqual)                                  \
    X(AlphaRef, 24, uint32_t, Raster, 0u)                                              \
    X(AlphaFunc, 25, Compare, Raster, Compare::Always)                                 \
    X(AlphaBlendEnable, 27, bool, Raster, false)                                       \
    X(FogEnable, 28, bool, Kept, false)                                                \
    X(SpecularEnable, 29, bool, Lighting, false)                                       \
    X(Lighting, 137, bool, Lighting, true)                                             \
    X(Ambient, 139, Colour, Lighting, 0u)                                              \
    X(ColorVertex, 141, bool, Lighting, true)                                          \
    X(LocalViewer, 142, bool, Lighting, true)                                          \
    X(NormalizeNormals, 143, bool, Lighting, false)                                    \
    X(DiffuseMaterialSource, 145, MaterialSource, Lighting, MaterialSource::Colour1)   \
    X(SpecularMaterialSource, 146, MaterialSource, Lighting, MaterialSource::Colour2)  \
    X(AmbientMaterialSource, 147, MaterialSource, Lighting, MaterialSource::Material)  \
    X(EmissiveMaterialSource, 148, MaterialSource, Lighting, MaterialSource::Material) \
    X(ClipPlaneEnable, 152, uint32_t, Transforms, 0u)                                  \
    X(MultisampleAntialias, 161, bool, Kept, true)                                     \
    X(MultisampleMask, 162, uint32_t, Kept, 0xFFFFFFFFu)
// Of texture stage 0, the only stage the piece draws with.
#define GLASSFALLS_TEXTURE_STAGE_STATES(X)                   \
    X(ColourOp, 1, TextureOp, Stage, TextureOp::Modulate)    \
    X(ColourArg1, 2, TextureArg, Stage, TextureArg::Texture) \
    X(ColourArg2, 3, TextureArg, Stage, TextureArg::Current) \
    X(AlphaOp, 4, TextureOp, Stage, TextureOp::SelectArg1)   \
    X(AlphaArg1, 5, TextureArg, Stage, TextureArg::Texture)  \
    X(AlphaArg2, 6, TextureArg, Stage, TextureArg::Current)
#define GLASSFALLS_SAMPLER_STATES(X)                              \
    X(AddressU, 1, TextureAddress, Sampler, TextureAddress::Wrap) \
    X(AddressV, 2, TextureAddress, Sampler, TextureAddress::Wrap) \
    X(MagFilter, 5, TextureFilter, Sampler, TextureFilter::Point) \
    X(MinFilter, 6, TextureFilter, Sampler, TextureFilter::Point) \
    X(MipFilter, 7, TextureFilter, Sampler, TextureFilter::None)

#define GLASSFALLS_STATE_NUMBER(name, number, type, group, initial) name = number,
enum class RenderState : uint32_t { GLASSFALLS_RENDER_STATES(GLASSFALLS_STATE_NUMBER) };
enum class TextureStageState : uint32_t { GLASSFALLS_TEXTURE_STAGE_STATES(GLASSFALLS_STATE_NUMBER) };
enum class SamplerState : uint32_t { GLASSFALLS_SAMPLER_STATES(GLASSFALLS_STATE_NUMBER) };
#undef GLASSFALLS_STATE_NUMBER
inline constexpr uint32_t kRenderStateSlots = 256;
inline constexpr uint32_t kTextureStageSlots = 7;
inline constexpr uint32_t kSamplerSlots = 8;

// A state as the drawing code names it: which one, its group, the type of its values and
// its value when the device is made.
template <typename Name, typename Value>
struct StateKey {
    Name state;
    StateGroup group;
    Value initial;
};

#define GLASSFALLS_RENDER_KEY(name, number, type, group, initial) \
    inline constexpr StateKey<RenderState, type> name{RenderState::name, StateGroup::group, initial};
#define GLASSFALLS_STAGE_KEY(name, number, type, group, initial) \
    inline constexpr StateKey<TextureStageState, type> name{TextureStageState::name, StateGroup::group, initial};
#define GLASSFALLS_SAMPLER_KEY(name, number, type, group, initial) \
    inline constexpr StateKey<SamplerState, type> name{SamplerState::name, StateGroup::group, initial};
namespace renderState {
GLASSFALLS_RENDER_STATES(GLASSFALLS_RENDER_KEY)
}
namespace textureStage {
GLASSFALLS_TEXTURE_STAGE_STATES(GLASSFALLS_STAGE_KEY)
}
namespace sampler {
GLASSFALLS_SAMPLER_STATES(GLASSFALLS_SAMPLER_KEY)
}
#undef GLASSFALLS_RENDER_KEY
#undef GLASSFALLS_STAGE_KEY
#undef GLASSFALLS_SAMPLER_KEY

enum class TransformState : uint32_t { View = 2, Projection = 3, World = 256 };

enum class PrimitiveType : uint32_t {
    PointList = 1,
    LineList = 2,
    LineStrip = 3,
    TriangleList = 4,
    TriangleStrip = 5,
    TriangleFan = 6,
};

// Vertex format bits. The scenes use XYZ|NORMAL|TEX1 (0x112), XYZ|DIFFUSE|TEX1 (0x142),
// XYZRHW|DIFFUSE|TEX1 (0x144) and XYZ|NORMAL|DIFFUSE|TEX1 (0x152).
namespace fvf {
inline constexpr uint32_t Xyz = 0x002, XyzRhw = 0x004, Normal = 0x010, Diffuse = 0x040, Specular = 0x080, Tex1 = 0x100;
// How many texture coordinate sets a vertex has: any means the first is there.
inline constexpr uint32_t TexCountMask = 0xF00;
}  // namespace fvf

namespace clearFlags {
inline constexpr uint32_t Target = 1, ZBuffer = 2, Stencil = 4;
}

struct ColourValue {
    float r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const ColourValue&, const ColourValue&) = default;
};

struct Material {
    ColourValue diffuse, ambient, specular, emissive;
    float power = 0;
    friend bool operator==(const Material&, const Material&) = default;
};

struct Vector {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const Vector&, const Vector&) = default;
};

enum class LightType : uint32_t { Point = 1, Spot = 2, Directional = 3 };

// Only directional lights are drawn; the other fields are kept for completeness of the record.
struct Light {
    LightType type = LightType::Directional;
    ColourValue diffuse, specular, ambient;
    Vector position, direction;
    float range = 0, falloff = 0, attenuation0 = 0, attenuation1 = 0, attenuation2 = 0;
    float theta = 0, phi = 0;
    friend bool operator==(const Light&, const Light&) = default;
};

struct Viewport {
    uint32_t x = 0, y = 0, width = 0, height = 0;
    float minZ = 0, maxZ = 1;
    friend bool operator==(const Viewport&, const Viewport&) = default;
};

// The screen the piece lays out its pre-transformed vertices and viewports on, in its own
// units, whatever the back buffer's size: it is scaled evenly into the back buffer, as large
// as fits, and centred (see ScreenMapping).
struct LogicalScreen {
    float width = 0, height = 0;  // 0: the back buffer's own pixels
    friend bool operator==(const LogicalScreen&, const LogicalScreen&) = default;
};

struct PresentParameters {
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    bool windowed = false;
    bool vsync = true;
    LogicalScreen screen;
    uint32_t multisamples = 0;  // per pixel of the back buffer; 0 or 1: none
};

// A windowed back buffer of width x height that does not wait for the display, its
// pixels the logical screen: what tests and benchmarks draw into.
inline PresentParameters unpacedBackBuffer(uint32_t width, uint32_t height) {
    PresentParameters parameters;
    parameters.backBufferWidth = width;
    parameters.backBufferHeight = height;
    parameters.windowed = true;
    parameters.vsync = false;
    return parameters;
}

// Where the logical screen lands in the back buffer: a back-buffer pixel coordinate is
// offset + scale x a logical one. The offsets are whole pixels, so what lies around the
// screen (the bars of a letterboxed frame) is whole pixels too.
struct ScreenMapping {
    float scale = 1;
    float offsetX = 0, offsetY = 0;
    float width = 0, height = 0;  // the logical screen's size
    friend bool operator==(const ScreenMapping&, const ScreenMapping&) = default;
};
ScreenMapping screenMappingOf(const PresentParameters& parameters);

struct LockedRect {
    int pitch = 0;            // bytes from one row to the next
    uint8_t* bits = nullptr;  // row 0 is the top of the picture

    // The 0xAARRGGBB pixels of row `y`.
    uint32_t* row(int y) const {
        return reinterpret_cast<uint32_t*>(bits + static_cast<size_t>(pitch) * static_cast<size_t>(y));
    }
};

// An opaque colour from its red, green and blue bytes.
constexpr Colour opaqueColour(uint8_t red, uint8_t green, uint8_t blue) {
    return 0xFF000000u | static_cast<Colour>(red) << 16 | static_cast<Colour>(green) << 8 | blue;
}

enum class DeviceType { Hardware, Software };

// Which OpenGL the device draws through: the compatibility profile's fixed function, or
// shaders on a 3.3 core or an ES 3.0 context; Auto takes the first of those the driver gives.
enum class Renderer { Auto, Compat, Core, Es };

// "auto", "compat", "core" or "es": as the command line names them.
constexpr const char* rendererName(Renderer renderer) {
    switch (renderer) {
        case Renderer::Auto: return "auto";
        case Renderer::Compat: return "compat";
        case Renderer::Core: return "core";
        case Renderer::Es: return "es";
    }
    return "auto";
}

// The renderer of that name; nothing for a name no renderer has.
inline std::optional<Renderer> rendererNamed(std::string_view name) {
    for (Renderer r : {Renderer::Auto, Renderer::Compat, Renderer::Core, Renderer::Es}) {
        if (name == rendererName(r)) return r;
    }
    return std::nullopt;
}

}  // namespace glassfalls::platform::gfx
