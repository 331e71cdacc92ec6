// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/RenderDevice.h"

#include <cmath>
#include <cstdio>

#include "math/MatrixBuilders.h"
#include "platform/gfx/StateTable.h"

namespace glassfalls {

using namespace platform::gfx;

namespace {

// Lit, depth-tested, counter-clockwise culled.
constexpr StateSetting kDefaultStates[] = {
    {renderState::ZEnable, 1},
    {renderState::ZWriteEnable, 1},
    {renderState::AlphaRef, 0},
    {renderState::AlphaFunc, Compare::Greater},
    {renderState::Ambient, 0x00888888},
    {renderState::Lighting, 1},
    {renderState::CullMode, Cull::CounterClockwise},
    {renderState::MultisampleAntialias, 1},
    {renderState::MultisampleMask, 0x7FFFFFFF},
};

constexpr StateSetting kDefaultTextureStage[] = {
    {textureStage::ColourOp, TextureOp::Modulate},   {textureStage::ColourArg1, TextureArg::Texture},
    {textureStage::ColourArg2, TextureArg::Diffuse}, {textureStage::AlphaOp, TextureOp::Disable},
    {textureStage::AlphaArg1, TextureArg::Texture},  {sampler::MinFilter, TextureFilter::Linear},
    {sampler::MagFilter, TextureFilter::Linear},     {sampler::MipFilter, TextureFilter::Linear},
};

}  // namespace

DeviceResource::~DeviceResource() {
    if (registeredWith) registeredWith->unregisterResource(*this);
}

RenderDevice::~RenderDevice() {
    backBuffer = nullptr;
    depthBuffer = nullptr;
    for (int i = 0; i < resources.size(); ++i) resources.at(i)->registeredWith = nullptr;
    resources.clear();
    device.reset();
}

void RenderDevice::release() {
    backBuffer = nullptr;
    depthBuffer = nullptr;
    device.reset();
}

void RenderDevice::registerResource(DeviceResource& resource) {
    resources.add(&resource);
    resource.registeredWith = this;
}

void RenderDevice::unregisterResource(DeviceResource& resource) {
    for (int i = resources.indexOf(&resource); i >= 0; i = resources.indexOf(&resource)) {
        resources.removeAt(i);
    }
    resource.registeredWith = nullptr;
}

platform::Expected<void> RenderDevice::create(const platform::gfx::DeviceFactory& makeDevice, int width, int height,
                                              bool windowed, const PieceScreen& screen, uint32_t multisamples) {
    device.reset();
    screen_ = screen;
    presentationParameters = {};
    presentationParameters.backBufferWidth = static_cast<uint32_t>(width);
    presentationParameters.backBufferHeight = static_cast<uint32_t>(height);
    presentationParameters.windowed = windowed;
    presentationParameters.vsync = true;
    presentationParameters.screen = {screen.width, screen.height};
    presentationParameters.multisamples = multisamples;

    // The system's driver first; Mesa's software rasteriser when that fails.
    std::string why;
    for (DeviceType type : {DeviceType::Hardware, DeviceType::Software}) {
        auto created = makeDevice(type, presentationParameters);
        if (created) {
            device = std::move(*created);
            break;
        }
        // A driver that offers too little says the same both times: once is enough.
        if (created.error() != why) why += (why.empty() ? "" : "; ") + created.error();
    }
    if (!device) return platform::failure("cannot create the render device: " + why);
    applyDefaultStates();
    resize();
    return {};
}

bool RenderDevice::resize() {
    reset();
    setProjectionAndViewport();
    return true;
}

void RenderDevice::resizeFrame(int width, int height, const PieceScreen& screen) {
    screen_ = screen;
    presentationParameters.backBufferWidth = static_cast<uint32_t>(width);
    presentationParameters.backBufferHeight = static_cast<uint32_t>(height);
    presentationParameters.screen = {screen.width, screen.height};
    resize();
}

void RenderDevice::setMultisamples(uint32_t samples) {
    presentationParameters.multisamples = samples;
    resize();
}

void RenderDevice::setProjectionAndViewport() {
    // The vertical field of view is the piece's at any width: a wider screen sees more to
    // the sides (Hor+).
    const float aspect = screen_.width / screen_.height;
    device->setTransform(TransformState::Projection, matrixPerspectiveFovLH(0.78539819f, aspect, 1.0f, 1000.0f));
    device->setViewport({0, 0, static_cast<uint32_t>(std::ceil(screen_.width)),
                         static_cast<uint32_t>(std::ceil(screen_.height)), 0.0f, 1.0f});
}

void RenderDevice::applyFrameStates() {
    applyDefaultStates();
    setProjectionAndViewport();
}

void RenderDevice::presentFrame() {
    if (device->present() != Result::DeviceLost) return;
    if (device->testCooperativeLevel() != Result::DeviceNotReset) return;
    reset();
    resize();
}

const char* resetFailureLine(Result result) {
    switch (result) {
        case Result::DeviceLost: return "D3DERR_DEVICELOST\n";
        case Result::DriverInternalError: return "D3DERR_DRIVERINTERNALERROR\n";
        case Result::InvalidCall: return "D3DERR_INVALIDCALL\n";
        case Result::OutOfVideoMemory: return "D3DERR_OUTOFVIDEOMEMORY\n";
        case Result::OutOfMemory: return "E_OUTOFMEMORY\n";
        default: return "";
    }
}

bool RenderDevice::reset() {
    for (int i = 0; i < resources.size(); ++i) resources.at(i)->onLostDevice(*this);
    backBuffer = nullptr;
    depthBuffer = nullptr;
    const Result result = device->reset(presentationParameters);
    if (result != Result::Ok) {
        // A device that cannot be rebuilt is tried again every frame, twice (reset, then
        // resize): its line is said once while the failure stays the same.
        if (result != lastResetFailure_) std::fputs(resetFailureLine(result), stderr);
        lastResetFailure_ = result;
        return false;
    }
    lastResetFailure_ = Result::Ok;
    applyDefaultStates();
    backBuffer = device->backBuffer();
    depthBuffer = device->depthStencilSurface();
    if (!backBuffer || !depthBuffer) return false;
    for (int i = 0; i < resources.size(); ++i) resources.at(i)->onResetDevice(*this);
    return true;
}

void RenderDevice::applyDefaultStates() {
    GraphicsDevice& d = *device;
    applyStates(d, kDefaultStates);

    d.setTransform(TransformState::View, matrixLookAtLH({0, 96, -24}, {0, 0, 0}, {0, 1, 0}));
    d.setTransform(TransformState::Projection, matrixOrthoLH(1, 1, 0, 10000));

    Material material;
    material.diffuse = {1, 1, 1, 1};
    material.ambient = {0.1f, 0.1f, 0.1f, 1};
    material.specular = {1, 1, 1, 1};
    material.power = 10.0f;
    d.setMaterial(material);
    d.setRenderState(renderState::SpecularMaterialSource, MaterialSource::Material);

    d.setLight(0, whiteDirectionalLight({0, -8, 4}));
    d.lightEnable(0, true);

    applyDefaultTextureStage(d);
}

Light whiteDirectionalLight(const Vector3& direction) {
    Light light;
    light.type = LightType::Directional;
    light.diffuse = {1, 1, 1, 0};
    light.specular = {1, 1, 1, 0};
    light.ambient = {0.5f, 0.5f, 0.5f, 0};
    const Vector3 unit = vec3Normalize(direction);
    light.direction = {unit.x, unit.y, unit.z};
    return light;
}

void applyDefaultTextureStage(GraphicsDevice& d) {
    d.setTexture(0, nullptr);
    applyStates(d, kDefaultTextureStage);
}

}  // namespace glassfalls
