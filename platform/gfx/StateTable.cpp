#include "platform/gfx/StateTable.h"

#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls::platform::gfx {

void applyStates(GraphicsDevice& device, std::span<const StateSetting> table) {
    for (const StateSetting& setting : table) {
        switch (setting.kind) {
            case StateSetting::Kind::Render:
                device.setRenderState(static_cast<RenderState>(setting.state), setting.value);
                break;
            case StateSetting::Kind::TextureStage:
                device.setTextureStageState(0, static_cast<TextureStageState>(setting.state), setting.value);
                break;
            case StateSetting::Kind::Sampler:
                device.setSamplerState(0, static_cast<SamplerState>(setting.state), setting.value);
                break;
        }
    }
}

}  // namespace glassfalls::platform::gfx
