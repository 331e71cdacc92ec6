// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gfx/GraphicsDevice.h"
#include "platform/gfx/StateTable.h"

// The state blocks the drawers share. Set, draw, restore: a drawer sets a preset and what is
// its own, draws, and restores the baseline, so no drawer depends on what another left.
namespace glassfalls::statePresets {

using platform::gfx::StateSetting;

// Blended by the source's alpha over what is there; the texture times the vertex colour,
// and their alphas multiplied: the ground, the rings, the shadows.
inline constexpr StateSetting kBlendedTextureTimesColour[] = {
    {platform::gfx::renderState::AlphaBlendEnable, true},
    {platform::gfx::renderState::SrcBlend, platform::gfx::Blend::SrcAlpha},
    {platform::gfx::renderState::DestBlend, platform::gfx::Blend::InvSrcAlpha},
    {platform::gfx::textureStage::ColourArg1, platform::gfx::TextureArg::Texture},
    {platform::gfx::textureStage::ColourArg2, platform::gfx::TextureArg::Diffuse},
    {platform::gfx::textureStage::AlphaOp, platform::gfx::TextureOp::Modulate},
};

// What every drawer leaves behind: lit, opaque, depth written and tested less-or-equal, no
// clip plane, the texture times the vertex colour with the vertex's alpha. The sampler is
// left as it is: from the first light mask on, the performance is drawn with the clamped
// addressing the mask sets, until a fade gives back wrapping.
inline constexpr StateSetting kBaseline[] = {
    {platform::gfx::renderState::Lighting, true},
    {platform::gfx::renderState::AlphaBlendEnable, false},
    {platform::gfx::renderState::ZWriteEnable, true},
    {platform::gfx::renderState::ZFunc, platform::gfx::Compare::LessEqual},
    {platform::gfx::renderState::ClipPlaneEnable, 0u},
    {platform::gfx::renderState::FogEnable, false},
    {platform::gfx::textureStage::ColourOp, platform::gfx::TextureOp::Modulate},
    {platform::gfx::textureStage::AlphaOp, platform::gfx::TextureOp::Disable},
};

// Textures repeat across the surface: what the fades and the title give back.
inline constexpr StateSetting kWrapAddressing[] = {
    {platform::gfx::sampler::AddressU, platform::gfx::TextureAddress::Wrap},
    {platform::gfx::sampler::AddressV, platform::gfx::TextureAddress::Wrap},
};

// Textures end at their edges: what the light mask leaves behind it.
inline constexpr StateSetting kClampAddressing[] = {
    {platform::gfx::sampler::AddressU, platform::gfx::TextureAddress::Clamp},
    {platform::gfx::sampler::AddressV, platform::gfx::TextureAddress::Clamp},
};

inline void restoreBaseline(platform::gfx::GraphicsDevice& device) { platform::gfx::applyStates(device, kBaseline); }

}  // namespace glassfalls::statePresets
