// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gfx/ScreenSprite.h"

#include <cmath>

#include "platform/gfx/StateTable.h"

namespace glassfalls::platform::gfx {

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    Colour colour;
    float u, v;
};

// A picture over everything: no depth, no light, no culling, blended by its own alpha and
// the colour's, clamped at its edges.
constexpr StateSetting kSpriteStates[] = {
    {renderState::ZEnable, 0},
    {renderState::CullMode, Cull::None},
    {renderState::Lighting, 0},
    {renderState::FogEnable, 0},
    {renderState::ClipPlaneEnable, 0},
    {renderState::AlphaTestEnable, 0},
    {renderState::AlphaBlendEnable, 1},
    {renderState::SrcBlend, Blend::SrcAlpha},
    {renderState::DestBlend, Blend::InvSrcAlpha},
    {textureStage::ColourOp, TextureOp::Modulate},
    {textureStage::ColourArg1, TextureArg::Texture},
    {textureStage::ColourArg2, TextureArg::Diffuse},
    {textureStage::AlphaOp, TextureOp::Modulate},
    {textureStage::AlphaArg1, TextureArg::Texture},
    {textureStage::AlphaArg2, TextureArg::Diffuse},
    {sampler::AddressU, TextureAddress::Clamp},
    {sampler::AddressV, TextureAddress::Clamp},
    {sampler::MinFilter, TextureFilter::Linear},
    {sampler::MagFilter, TextureFilter::Linear},
    {sampler::MipFilter, TextureFilter::None},
};

}  // namespace

std::unique_ptr<ScreenSprite> createSprite(GraphicsDevice& device) { return std::make_unique<ScreenSprite>(device); }

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

bool ScreenSprite::draw(DeviceTexture* texture, const Rect* source, const Vector2* scaling, const Vector2* centre,
                        float rotation, const Vector2* translation, Colour colour) {
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
        return ScreenVertex{
            cosine * sx - sine * sy + c.x + t.x, sine * sx + cosine * sy + c.y + t.y, 0.0f, 1.0f, colour,
            static_cast<float>(px) / width,      static_cast<float>(py) / height};
    };
    const ScreenVertex quad[4] = {corner(r.left, r.top), corner(r.right, r.top), corner(r.right, r.bottom),
                                  corner(r.left, r.bottom)};

    GraphicsDevice& d = device_;
    applyStates(d, kSpriteStates);
    d.setTexture(0, texture);
    d.setFvf(fvf::XyzRhw | fvf::Diffuse | fvf::Tex1);
    d.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, quad, sizeof(ScreenVertex));
    return true;
}

}  // namespace glassfalls::platform::gfx
