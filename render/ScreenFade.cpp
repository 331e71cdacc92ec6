#include "render/ScreenFade.h"

#include "platform/gfx/StateTable.h"

namespace glassfalls {

using namespace platform::gfx;

namespace {

// Black over everything, by the quad's alpha.
constexpr StateSetting kFadeStates[] = {
    {RenderState::CullMode, cull::Clockwise},
    {RenderState::Lighting, 0},
    {RenderState::ZWriteEnable, 0},
    {RenderState::AlphaBlendEnable, 1},
    {RenderState::SrcBlend, blend::SrcAlpha},
    {RenderState::DestBlend, blend::InvSrcAlpha},
    {RenderState::ZFunc, compare::Always},
};

// The cull mode stays clockwise: what is drawn next sees it unless it sets its own.
constexpr StateSetting kAfterFade[] = {
    {RenderState::Lighting, 1},
    {RenderState::AlphaBlendEnable, 0},
    {RenderState::ZWriteEnable, 1},
    {TextureStageState::AlphaOp, textureOp::Disable},
    {RenderState::ZFunc, compare::LessEqual},
    {SamplerState::AddressU, textureAddress::Wrap},
    {SamplerState::AddressV, textureAddress::Wrap},
};

}  // namespace

bool ScreenFade::init(GraphicsDevice&, int32_t screenWidth, int32_t screenHeight) {
    width = screenWidth;
    height = screenHeight;
    const auto w = static_cast<float>(width), h = static_cast<float>(height);
    vertices = {{{0, 0, 0, 1, 0xFFFFFFFFu, 0, 0},
                 {0, h, 0, 1, 0xFFFFFFFFu, 0, 1},
                 {w, h, 0, 1, 0xFFFFFFFFu, 1, 1},
                 {w, 0, 0, 1, 0xFFFFFFFFu, 1, 0}}};
    return true;
}

void ScreenFade::draw(GraphicsDevice& device, const Matrix4&, int32_t alpha) {
    for (ScreenVertex& v : vertices) v.colour = static_cast<uint32_t>(alpha) << 24;
    device.setTexture(0, nullptr);
    applyStates(device, kFadeStates);
    device.setFvf(ScreenVertex::kFormat);
    device.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, vertices.data(), sizeof(ScreenVertex));
    applyStates(device, kAfterFade);
}

}  // namespace glassfalls
