// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls::platform::gfx {

// One call a drawer made, with the state it was made under.
struct DeviceCall {
    enum class Kind : uint8_t { Clear, BeginScene, EndScene, Draw, Present, Reset, TextureFilled };
    Kind kind;
    PrimitiveType primitive = PrimitiveType::TriangleList;  // Draw
    uint32_t primitives = 0;                                // Draw
    const DeviceTexture* filled = nullptr;                  // TextureFilled
    DeviceState state;
};

// The null device: it draws nothing and keeps the calls that would draw or show something.
// For tests where what is drawn, under which state, matters and the pixels do not. Its back
// buffer reads as black; it is never lost.
class RecordingDevice final : public GraphicsDevice {
public:
    explicit RecordingDevice(const PresentParameters& parameters = unpacedBackBuffer(640, 480));

    Result reset(const PresentParameters& parameters) override;
    Result testCooperativeLevel() override { return Result::Ok; }
    Result present() override;
    bool beginScene() override;
    bool endScene() override;
    void clear(uint32_t flags, Colour colour, float z, uint32_t stencil) override;
    void drawPrimitiveUp(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t stride) override;
    std::string renderer() const override { return "nothing (recording)"; }
    void readBackBuffer(std::vector<uint32_t>& pixels) override;

    // Every call so far, in the order they were made; or those of one kind.
    const std::vector<DeviceCall>& calls() const { return *calls_; }
    std::vector<DeviceCall> callsOf(DeviceCall::Kind kind) const;
    void forgetCalls() { calls_->clear(); }

private:
    std::unique_ptr<DeviceTexture> makeTexture(int width, int height, bool mipChain) override;
    void stateChanging(uint32_t) override {}
    void viewportChanged() override {}
    void record(DeviceCall::Kind kind);

    // Shared with the textures, which may outlive the device.
    std::shared_ptr<std::vector<DeviceCall>> calls_ = std::make_shared<std::vector<DeviceCall>>();
    bool inScene_ = false;
};

}  // namespace glassfalls::platform::gfx
