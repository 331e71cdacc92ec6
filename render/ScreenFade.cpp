#include "render/ScreenFade.h"

namespace glassfalls {

using namespace platform::gfx;

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
    device.setRenderState(RenderState::CullMode, cull::Clockwise);
    device.setRenderState(RenderState::Lighting, 0);
    device.setRenderState(RenderState::ZWriteEnable, 0);
    device.setRenderState(RenderState::AlphaBlendEnable, 1);
    device.setRenderState(RenderState::SrcBlend, blend::SrcAlpha);
    device.setRenderState(RenderState::DestBlend, blend::InvSrcAlpha);
    device.setRenderState(RenderState::ZFunc, compare::Always);
    device.setFvf(ScreenVertex::kFormat);
    device.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, vertices.data(), sizeof(ScreenVertex));
    device.setRenderState(RenderState::Lighting, 1);
    device.setRenderState(RenderState::AlphaBlendEnable, 0);
    device.setRenderState(RenderState::ZWriteEnable, 1);
    device.setTextureStageState(0, TextureStageState::AlphaOp, textureOp::Disable);
    device.setRenderState(RenderState::ZFunc, compare::LessEqual);
    device.setSamplerState(0, SamplerState::AddressU, textureAddress::Wrap);
    device.setSamplerState(0, SamplerState::AddressV, textureAddress::Wrap);
}

}  // namespace glassfalls
