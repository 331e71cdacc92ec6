// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gfx/RecordingDevice.h"

#include <algorithm>
#include <iterator>

namespace glassfalls::platform::gfx {

namespace {

class RecordedTexture final : public DeviceTexture {
public:
    RecordedTexture(std::shared_ptr<std::vector<DeviceCall>> calls, int width, int height, bool mipChain)
        : DeviceTexture(width, height, mipChain), calls_(std::move(calls)) {}

private:
    void texelsChanged() override { calls_->push_back({DeviceCall::Kind::TextureFilled, {}, 0, this, {}}); }
    std::shared_ptr<std::vector<DeviceCall>> calls_;
};

}  // namespace

RecordingDevice::RecordingDevice(const PresentParameters& parameters) : GraphicsDevice(parameters) {
    setDefaultState();
}

void RecordingDevice::record(DeviceCall::Kind kind) { calls_->push_back({kind, {}, 0, nullptr, state_}); }

Result RecordingDevice::reset(const PresentParameters& parameters) {
    if (!sideAccepted(parameters.backBufferWidth) || !sideAccepted(parameters.backBufferHeight)) {
        return Result::InvalidCall;
    }
    parameters_ = parameters;
    setDefaultState();
    record(DeviceCall::Kind::Reset);
    return Result::Ok;
}

Result RecordingDevice::present() {
    record(DeviceCall::Kind::Present);
    return Result::Ok;
}

bool RecordingDevice::beginScene() {
    if (inScene_) return false;
    inScene_ = true;
    record(DeviceCall::Kind::BeginScene);
    return true;
}

bool RecordingDevice::endScene() {
    if (!inScene_) return false;
    inScene_ = false;
    record(DeviceCall::Kind::EndScene);
    return true;
}

void RecordingDevice::clear(uint32_t, Colour, float, uint32_t) { record(DeviceCall::Kind::Clear); }

void RecordingDevice::drawPrimitiveUp(PrimitiveType type, uint32_t primitiveCount, const void* vertices, uint32_t) {
    if (!inScene_ || primitiveCount == 0 || !vertices) return;
    calls_->push_back({DeviceCall::Kind::Draw, type, primitiveCount, nullptr, state_});
}

std::unique_ptr<DeviceTexture> RecordingDevice::makeTexture(int width, int height, bool mipChain) {
    return std::make_unique<RecordedTexture>(calls_, width, height, mipChain);
}

void RecordingDevice::readBackBuffer(std::vector<uint32_t>& pixels) {
    pixels.assign(size_t{parameters_.backBufferWidth} * parameters_.backBufferHeight, 0xFF000000u);
}

std::vector<DeviceCall> RecordingDevice::callsOf(DeviceCall::Kind kind) const {
    std::vector<DeviceCall> found;
    std::copy_if(calls_->begin(), calls_->end(), std::back_inserter(found),
                 [kind](const DeviceCall& call) { return call.kind == kind; });
    return found;
}

}  // namespace glassfalls::platform::gfx
