// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/ScreenFade.h"

#include "platform/gfx/StateTable.h"
#include "render/StatePresets.h"

namespace glassfalls {

using namespace platform::gfx;

namespace {

// Black over everything, by the quad's alpha.
constexpr StateSetting kFadeStates[] = {
    {renderState::CullMode, Cull::Clockwise}, {renderState::Lighting, 0},
    {renderState::ZWriteEnable, 0},           {renderState::AlphaBlendEnable, 1},
    {renderState::SrcBlend, Blend::SrcAlpha}, {renderState::DestBlend, Blend::InvSrcAlpha},
    {renderState::ZFunc, Compare::Always},
};

// The cull mode stays clockwise: what is drawn next sees it unless it sets its own.
}  // namespace

void ScreenFade::init(int32_t screenWidth, int32_t screenHeight) {
    width = screenWidth;
    height = screenHeight;
    const auto w = static_cast<float>(width), h = static_cast<float>(height);
    vertices = {{{0, 0, 0, 1, 0xFFFFFFFFu, 0, 0},
                 {0, h, 0, 1, 0xFFFFFFFFu, 0, 1},
                 {w, h, 0, 1, 0xFFFFFFFFu, 1, 1},
                 {w, 0, 0, 1, 0xFFFFFFFFu, 1, 0}}};
}

void ScreenFade::draw(GraphicsDevice& device, const Matrix4&, int32_t alpha) const {
    std::array<ScreenVertex, 4> shade = vertices;
    for (ScreenVertex& v : shade) v.colour = static_cast<uint32_t>(alpha) << 24;
    device.setTexture(0, nullptr);
    applyStates(device, kFadeStates);
    device.setFvf(ScreenVertex::kFormat);
    device.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, shade.data(), sizeof(ScreenVertex));
    statePresets::restoreBaseline(device);
    applyStates(device, statePresets::kWrapAddressing);
}

}  // namespace glassfalls
