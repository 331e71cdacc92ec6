// A drawer's table must land on the same states as the calls it replaced: each kind on its
// own state of stage 0, in the table's order, so a later entry wins.
#include "platform/gfx/StateTable.h"

#include <gtest/gtest.h>

#include "tests/platform/gfx/OffscreenDevice.h"

namespace glassfalls::platform::gfx {
namespace {

TEST(StateTable, EachKindReachesItsOwnStateInOrder) {
    auto device = test_support::openOffscreenDevice();
    ASSERT_NE(device, nullptr);
    constexpr StateSetting kTable[] = {
        {RenderState::ZFunc, compare::Always},
        {TextureStageState::AlphaOp, textureOp::Modulate},
        {SamplerState::AddressU, textureAddress::Clamp},
        {RenderState::ZFunc, compare::LessEqual},
    };
    applyStates(*device, kTable);
    EXPECT_EQ(device->getRenderState(RenderState::ZFunc), compare::LessEqual);
    EXPECT_EQ(device->getTextureStageState(0, TextureStageState::AlphaOp), textureOp::Modulate);
    EXPECT_EQ(device->getSamplerState(0, SamplerState::AddressU), textureAddress::Clamp);
    EXPECT_NE(device->getSamplerState(0, SamplerState::AddressV), textureAddress::Clamp)
        << "only the state named";
}

}  // namespace
}  // namespace glassfalls::platform::gfx
