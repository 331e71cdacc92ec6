// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/Ground.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/StateTable.h"
#include "render/StatePresets.h"

namespace glassfalls {

using namespace platform::gfx;

namespace {

// Translucent by the vertex alpha, unlit, seen from above.
// With statePresets::kBlendedTextureTimesColour.
constexpr StateSetting kGroundStates[] = {
    {renderState::ZFunc, Compare::Less},
    {renderState::Lighting, false},
    {renderState::CullMode, Cull::Clockwise},
};

// The floor before any network picture: wide, and tiled by the floor picture.
std::array<GroundVertex, 4> plainFloor() {
    constexpr uint32_t kColour = 0x808080FFu;
    return {{{-300, 0, -300, kColour, 0, 0},
             {300, 0, -300, kColour, 0, 1},
             {300, 0, 300, kColour, 1, 1},
             {-300, 0, 300, kColour, 1, 0}}};
}

}  // namespace

void Ground::init(GraphicsDevice& device) {
    netPicture.texture = device.createTexture(kNetPictureSide, kNetPictureSide, false);
    floor = plainFloor();
}

void Ground::draw(GraphicsDevice& device, float brightness) const {
    applyStates(device, statePresets::kBlendedTextureTimesColour);
    applyStates(device, kGroundStates);
    device.setFvf(GroundVertex::kFormat);
    std::array<GroundVertex, 4> quad = floor;
    if (!netPictureShown) {
        // Truncated toward zero; values outside 0 … 1 wrap through the low eight bits.
        const float level = std::clamp(brightness * 255.0f, -2.0e9f, 2.0e9f);
        const uint32_t c = static_cast<uint32_t>(static_cast<int32_t>(level)) & 0xFF;
        for (GroundVertex& v : quad) v.colour = 0x80000000u | c << 16 | c << 8 | c;
        device.setTexture(0, floorPicture.texture.get());
    } else {
        device.setTexture(0, netPicture.texture.get());
        device.setTransform(TransformState::World, Matrix4::identity());
    }
    device.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, quad.data(), sizeof(GroundVertex));
    device.setTexture(0, nullptr);
    statePresets::restoreBaseline(device);
}

void Ground::showNetPicture(const uint8_t* picture) {
    DeviceTexture* texture = netPicture.texture.get();
    LockedRect locked;
    if (!texture || !texture->lockRect(0, locked)) return;
    // Faded toward a circle on its way into the texture; kept as it came only for a snapshot.
    const int side = std::min({kNetPictureSide, texture->width(), texture->height()});
    for (int i = 0; i < side; ++i) {
        uint32_t* row = locked.row(i);
        for (int j = 0; j < side; ++j) {
            const auto di = static_cast<float>(i - 64), dj = static_cast<float>(j - 64);
            const float d = std::min(std::sqrt(di * di + dj * dj) * 0.015625f, 1.0f);
            const float e = 1.0f - d * d;
            const uint8_t* in = picture + (kNetPictureSide * i + j) * 3;
            auto faded = [&](int k) { return static_cast<uint8_t>(static_cast<float>(in[k]) * e); };
            row[j] = opaqueColour(faded(0), faded(1), faded(2));
        }
    }
    texture->unlockRect(0);
    constexpr uint32_t kColour = 0x80B0B0FFu;
    floor = {{{-40, 0, -40, kColour, 0, 1},
              {40, 0, -40, kColour, 1, 1},
              {40, 0, 40, kColour, 1, 0},
              {-40, 0, 40, kColour, 0, 0}}};
    netPictureShown = true;
    shownPicture.assign(picture, picture + kNetPictureBytes);
}

void Ground::saveState(platform::ByteWriter& out) const {
    out.boolean(netPictureShown);
    if (netPictureShown) out.sized(shownPicture);
}

void Ground::loadState(platform::ByteReader& in) {
    bool shown = false;
    in.boolean(shown);
    if (!shown) {
        netPictureShown = false;
        shownPicture.clear();
        floor = plainFloor();
        return;
    }
    std::vector<uint8_t> picture;
    in.sized(picture, kNetPictureBytes);
    if (in.ok() && picture.size() != kNetPictureBytes) return in.fail("has a ground picture of another size");
    if (in.ok()) showNetPicture(picture.data());
}

}  // namespace glassfalls
