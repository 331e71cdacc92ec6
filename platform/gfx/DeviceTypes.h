#pragma once

#include <cstdint>

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

enum class RenderState : uint32_t {
    ZEnable = 7,
    ZWriteEnable = 14,
    AlphaTestEnable = 15,
    SrcBlend = 19,
    DestBlend = 20,
    CullMode = 22,
    ZFunc = 23,
    AlphaRef = 24,
    AlphaFunc = 25,
    AlphaBlendEnable = 27,
    FogEnable = 28,
    SpecularEnable = 29,
    Lighting = 137,
    Ambient = 139,
    ColorVertex = 141,
    LocalViewer = 142,
    NormalizeNormals = 143,
    DiffuseMaterialSource = 145,
    SpecularMaterialSource = 146,
    AmbientMaterialSource = 147,
    EmissiveMaterialSource = 148,
    ClipPlaneEnable = 152,
    MultisampleAntialias = 161,
    MultisampleMask = 162,
};
inline constexpr uint32_t kRenderStateSlots = 256;

namespace cull {
inline constexpr uint32_t None = 1, Clockwise = 2, CounterClockwise = 3;
}
namespace compare {
inline constexpr uint32_t Never = 1, Less = 2, Equal = 3, LessEqual = 4, Greater = 5,
                          NotEqual = 6, GreaterEqual = 7, Always = 8;
}
namespace blend {
inline constexpr uint32_t Zero = 1, One = 2, SrcColour = 3, InvSrcColour = 4, SrcAlpha = 5,
                          InvSrcAlpha = 6, DestAlpha = 7, InvDestAlpha = 8, DestColour = 9,
                          InvDestColour = 10;
}
namespace materialSource {
inline constexpr uint32_t Material = 0, Colour1 = 1, Colour2 = 2;
}

enum class TextureStageState : uint32_t {
    ColourOp = 1,
    ColourArg1 = 2,
    ColourArg2 = 3,
    AlphaOp = 4,
    AlphaArg1 = 5,
    AlphaArg2 = 6,
};
inline constexpr uint32_t kTextureStageSlots = 7;

namespace textureOp {
inline constexpr uint32_t Disable = 1, SelectArg1 = 2, SelectArg2 = 3, Modulate = 4, Add = 7;
}
namespace textureArg {
inline constexpr uint32_t Diffuse = 0, Current = 1, Texture = 2;
}

enum class SamplerState : uint32_t {
    AddressU = 1,
    AddressV = 2,
    MagFilter = 5,
    MinFilter = 6,
    MipFilter = 7,
};
inline constexpr uint32_t kSamplerSlots = 8;

namespace textureAddress {
inline constexpr uint32_t Wrap = 1, Mirror = 2, Clamp = 3;
}
namespace textureFilter {
inline constexpr uint32_t None = 0, Point = 1, Linear = 2;
}

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
inline constexpr uint32_t Xyz = 0x002, XyzRhw = 0x004, Normal = 0x010, Diffuse = 0x040,
                          Specular = 0x080, Tex1 = 0x100;
}

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
};

struct PresentParameters {
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    bool windowed = false;
    bool vsync = true;
};

struct LockedRect {
    int pitch = 0;           // bytes from one row to the next
    uint8_t* bits = nullptr;  // row 0 is the top of the picture
};

enum class DeviceType { Hardware, Software };

}  // namespace glassfalls::platform::gfx
