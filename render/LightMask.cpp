// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/LightMask.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gfx/StateTable.h"
#include "render/RenderDevice.h"
#include "render/StatePresets.h"

namespace glassfalls {

using namespace platform::gfx;

namespace {

// Added onto the picture, over everything, clamped at the mask's edges.
constexpr StateSetting kMaskStates[] = {
    {renderState::CullMode, Cull::Clockwise},
    {renderState::Lighting, 0},
    {renderState::ZWriteEnable, 0},
    {renderState::ZFunc, Compare::Always},
    {renderState::AlphaBlendEnable, 1},
    {renderState::SrcBlend, Blend::One},
    {renderState::DestBlend, Blend::One},
    {textureStage::ColourOp, TextureOp::Modulate},
    {textureStage::ColourArg1, TextureArg::Texture},
    {textureStage::ColourArg2, TextureArg::Diffuse},
    {textureStage::AlphaOp, TextureOp::Disable},
    {sampler::AddressU, TextureAddress::Clamp},
    {sampler::AddressV, TextureAddress::Clamp},
    {sampler::MinFilter, TextureFilter::Linear},
    {sampler::MagFilter, TextureFilter::Linear},
    {sampler::MipFilter, TextureFilter::Linear},
};

// The cull mode (clockwise) and the addressing (clamp) stay as the mask set them.
}  // namespace

platform::Expected<void> LightMask::init(GraphicsDevice& device, const PieceScreen& screen, int32_t maskHeight) {
    width = static_cast<int32_t>(PieceScreen::kPieceWidth);
    height = maskHeight;
    left_ = screen.pieceLeft();
    GLASSFALLS_TRY(texture.createDib(device, kColumns, kRows));
    // Across a wider screen the texture runs on past its edges, which the clamped addressing
    // repeats: the light there is what it is at the piece's own sides.
    const float w = screen.width, h = static_cast<float>(height);
    const float u0 = -left_ / PieceScreen::kPieceWidth, u1 = 1 - u0;
    vertices = {{{0, 0, 0, 1, 0xFFFFFFFFu, u0, 0},
                 {0, h, 0, 1, 0xFFFFFFFFu, u0, 1},
                 {w, h, 0, 1, 0xFFFFFFFFu, u1, 1},
                 {w, 0, 0, 1, 0xFFFFFFFFu, u1, 0}}};
    fillGradient(device);
    return {};
}

void LightMask::writeGradient() {
    for (int r = 0; r < kRows; ++r) {
        for (int i = 0; i < kColumns; ++i) {
            const int e = 2 * (64 - r);
            const int f = 64 - std::abs(i - 64);
            const auto value = static_cast<uint8_t>(static_cast<float>(e * f) / 64.0f);
            const auto offset = static_cast<size_t>((r * kColumns + i) * 3);
            std::memset(&texture.dib->buffer[offset], value, 3);
        }
    }
}

void LightMask::fillGradient(GraphicsDevice& device) {
    if (!texture.dib) return;
    writeGradient();
    texture.uploadRegion(device, 0, 0, kColumns, kRows);
}

bool LightMask::capture(GraphicsDevice& device, Surface& surface) {
    if (!texture.dib) return false;
    LockedRect locked;
    if (!surface.lockRect(locked)) return false;
    writeGradient();
    const float sx = static_cast<float>(width) * 0.0078125f;
    const float sy = static_cast<float>(height) * 0.015625f;
    // The same logical points at any frame size: the centre of each sampled logical pixel,
    // wherever it lands in the frame.
    const platform::gfx::ScreenMapping screen = platform::gfx::screenMappingOf(device.presentParameters());
    const auto& parameters = device.presentParameters();
    auto pixelOf = [&screen](float offset, float logical, uint32_t limit) {
        const auto pixel = static_cast<int>(offset + screen.scale * (logical + 0.5f));
        return std::clamp(pixel, 0, static_cast<int>(limit) - 1);
    };
    for (int j = 0; j < kRows - 1; ++j) {
        const int sourceRow = std::min(height - 1, static_cast<int>(sy * static_cast<float>(j)));
        const uint32_t* row =
            locked.row(pixelOf(screen.offsetY, static_cast<float>(sourceRow), parameters.backBufferHeight));
        for (int i = 0; i < kColumns; ++i) {
            const int sourceColumn = std::min(width - 1, static_cast<int>(sx * static_cast<float>(i)));
            const float logicalColumn = left_ + static_cast<float>(sourceColumn);
            const uint32_t pixel = row[pixelOf(screen.offsetX, logicalColumn, parameters.backBufferWidth)];
            const bool bright = ((pixel >> 16) & 0xFF) > 0x80 && ((pixel >> 8) & 0xFF) > 0x80 && (pixel & 0xFF) > 0x80;
            if (!bright) continue;
            // The light is cut off below the bright point.
            for (int below = j + 1; below < kRows; ++below) {
                std::memset(&texture.dib->buffer[static_cast<size_t>((below * kColumns + i) * 3)], 0, 3);
            }
        }
    }
    surface.unlockRect();
    texture.uploadRegion(device, 0, 0, kColumns, kRows);
    return true;
}

void LightMask::draw(GraphicsDevice& device, const Matrix4&) const {
    applyStates(device, kMaskStates);
    device.setTexture(0, texture.texture.get());
    device.setFvf(ScreenVertex::kFormat);
    device.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, vertices.data(), sizeof(ScreenVertex));
    statePresets::restoreBaseline(device);
    applyDefaultTextureStage(device);
}

namespace {
constexpr size_t kMaskBytes = size_t{LightMask::kColumns} * LightMask::kRows * 3;
}

void LightMask::saveState(platform::ByteWriter& out) const {
    if (!texture.dib || texture.dib->buffer.size() < kMaskBytes) return out.sized({});
    out.sized({texture.dib->buffer.data(), kMaskBytes});
}

void LightMask::loadState(platform::ByteReader& in, GraphicsDevice& device) {
    std::vector<uint8_t> light;
    in.sized(light, kMaskBytes);
    // A machine without the mask's picture (or sent none) draws the gradient it has.
    if (!in.ok() || !texture.dib || texture.dib->buffer.size() < kMaskBytes || light.size() != kMaskBytes) return;
    std::copy(light.begin(), light.end(), texture.dib->buffer.begin());
    texture.uploadRegion(device, 0, 0, kColumns, kRows);
}

}  // namespace glassfalls
