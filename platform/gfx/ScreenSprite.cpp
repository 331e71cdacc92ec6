#include "platform/gfx/ScreenSprite.h"

#include <cmath>

namespace glassfalls::platform::gfx {

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    Colour colour;
    float u, v;
};

}  // namespace

std::unique_ptr<ScreenSprite> createSprite(GraphicsDevice& device) {
    return std::make_unique<ScreenSprite>(device);
}

bool ScreenSprite::begin() {
    if (begun_) return false;
    saved_ = device_.captureState();
    begun_ = true;
    return true;
}

bool ScreenSprite::end() {
    if (!begun_) return false;
    device_.applyState(saved_);
    begun_ = false;
    return true;
}

bool ScreenSprite::draw(DeviceTexture* texture, const Rect* source, const Vector2* scaling,
                        const Vector2* centre, float rotation, const Vector2* translation,
                        Colour colour) {
    if (!begun_ || !texture) return false;
    const Rect whole{0, 0, texture->width(), texture->height()};
    const Rect& r = source ? *source : whole;
    const Vector2 s = scaling ? *scaling : Vector2{1, 1};
    const Vector2 c = centre ? *centre : Vector2{};
    const Vector2 t = translation ? *translation : Vector2{};
    const float cosine = std::cos(rotation), sine = std::sin(rotation);
    const float width = static_cast<float>(texture->width());
    const float height = static_cast<float>(texture->height());

    auto corner = [&](int px, int py) {
        const float sx = static_cast<float>(px - r.left) * s.x - c.x;
        const float sy = static_cast<float>(py - r.top) * s.y - c.y;
        return ScreenVertex{cosine * sx - sine * sy + c.x + t.x,
                            sine * sx + cosine * sy + c.y + t.y,
                            0.0f,
                            1.0f,
                            colour,
                            static_cast<float>(px) / width,
                            static_cast<float>(py) / height};
    };
    const ScreenVertex quad[4] = {corner(r.left, r.top), corner(r.right, r.top),
                                  corner(r.right, r.bottom), corner(r.left, r.bottom)};

    GraphicsDevice& d = device_;
    d.setRenderState(RenderState::ZEnable, 0);
    d.setRenderState(RenderState::CullMode, cull::None);
    d.setRenderState(RenderState::Lighting, 0);
    d.setRenderState(RenderState::FogEnable, 0);
    d.setRenderState(RenderState::ClipPlaneEnable, 0);
    d.setRenderState(RenderState::AlphaTestEnable, 0);
    d.setRenderState(RenderState::AlphaBlendEnable, 1);
    d.setRenderState(RenderState::SrcBlend, blend::SrcAlpha);
    d.setRenderState(RenderState::DestBlend, blend::InvSrcAlpha);
    d.setTextureStageState(0, TextureStageState::ColourOp, textureOp::Modulate);
    d.setTextureStageState(0, TextureStageState::ColourArg1, textureArg::Texture);
    d.setTextureStageState(0, TextureStageState::ColourArg2, textureArg::Diffuse);
    d.setTextureStageState(0, TextureStageState::AlphaOp, textureOp::Modulate);
    d.setTextureStageState(0, TextureStageState::AlphaArg1, textureArg::Texture);
    d.setTextureStageState(0, TextureStageState::AlphaArg2, textureArg::Diffuse);
    d.setSamplerState(0, SamplerState::AddressU, textureAddress::Clamp);
    d.setSamplerState(0, SamplerState::AddressV, textureAddress::Clamp);
    d.setSamplerState(0, SamplerState::MinFilter, textureFilter::Linear);
    d.setSamplerState(0, SamplerState::MagFilter, textureFilter::Linear);
    d.setSamplerState(0, SamplerState::MipFilter, textureFilter::None);
    d.setTexture(0, texture);
    d.setFvf(fvf::XyzRhw | fvf::Diffuse | fvf::Tex1);
    d.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, quad, sizeof(ScreenVertex));
    return true;
}

}  // namespace glassfalls::platform::gfx
