// SPDX-License-Identifier: GPL-3.0-or-later
// A drawer's table must land on the same states as the calls it replaced: each kind on its
// own state of stage 0, in the table's order, so a later entry wins.
#include <gtest/gtest.h>

#include "platform/gfx/RecordingDevice.h"
#include "platform/gfx/StateTable.h"

namespace glassfalls::platform::gfx {
namespace {

TEST(StateTable, EachKindReachesItsOwnStateInOrder) {
    RecordingDevice device;
    constexpr StateSetting kTable[] = {
        {renderState::ZFunc, Compare::Always},
        {textureStage::AlphaOp, TextureOp::Modulate},
        {sampler::AddressU, TextureAddress::Clamp},
        {renderState::ZFunc, Compare::LessEqual},
    };
    applyStates(device, kTable);
    EXPECT_EQ(device.getRenderState(renderState::ZFunc), Compare::LessEqual);
    EXPECT_EQ(device.getTextureStageState(0, textureStage::AlphaOp), TextureOp::Modulate);
    EXPECT_EQ(device.getSamplerState(0, sampler::AddressU), TextureAddress::Clamp);
    EXPECT_NE(device.getSamplerState(0, sampler::AddressV), TextureAddress::Clamp) << "only the state named";
}

}  // namespace
}  // namespace glassfalls::platform::gfx
