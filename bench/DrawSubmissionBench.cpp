// SPDX-License-Identifier: GPL-3.0-or-later
// What the fixed-function facade costs on Mesa's software renderer when the scenes issue
// thousands of small draws from caller memory per frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "math/MatrixBuilders.h"
#include "platform/gl/GlDevice.h"

using namespace glassfalls;
using namespace glassfalls::platform::gfx;

namespace {

struct RingVertex {
    float x, y, z;
    Colour colour;
    float u, v;
};

struct TubeVertex {
    float x, y, z, nx, ny, nz;
    Colour colour;
    float u, v;
};

std::unique_ptr<GraphicsDevice> openDevice() {
    const PresentParameters parameters = unpacedBackBuffer(640, 480);
    auto created = platform::gl::GlDevice::create(
        platform::gl::createOffscreenGlContext(640, 480, DeviceType::Hardware, platform::gfx::Renderer::Compat),
        parameters);
    if (!created) std::fprintf(stderr, "no device: %s\n", created.error().c_str());
    std::unique_ptr<GraphicsDevice> device = created ? std::move(*created) : nullptr;
    if (device) {
        device->setTransform(TransformState::View, matrixLookAtLH({0, 64, -64}, {0, 0, 16}, {0, 1, 0}));
        device->setTransform(TransformState::Projection, matrixPerspectiveFovLH(0.78539819f, 640.0f / 480.0f, 1, 1000));
    }
    return device;
}

// A frame's worth of ripple rings: `rings` rings of 60 four-vertex fans each.
void drawRings(GraphicsDevice& device, int rings) {
    device.setRenderState(renderState::CullMode, Cull::Clockwise);
    device.setRenderState(renderState::Lighting, 0);
    device.setRenderState(renderState::AlphaBlendEnable, 1);
    device.setRenderState(renderState::SrcBlend, Blend::SrcAlpha);
    device.setRenderState(renderState::DestBlend, Blend::InvSrcAlpha);
    device.setFvf(fvf::Xyz | fvf::Diffuse | fvf::Tex1);
    RingVertex quad[4];
    for (int ring = 0; ring < rings; ++ring) {
        const float cx = static_cast<float>(ring % 16) * 4 - 32, cz = static_cast<float>(ring / 16) * 4;
        const float r = 2.0f + static_cast<float>(ring % 7), w = 0.8f;
        for (int k = 0; k < 60; ++k) {
            const float a = static_cast<float>(k) * 0.10471976f, b = static_cast<float>(k + 1) * 0.10471976f;
            quad[0] = {cx + r * std::cos(a), 0.1f, cz + r * std::sin(a), 0x80AAAAFFu, 0, 0};
            quad[1] = {cx + (r + w) * std::cos(a), 0.1f, cz + (r + w) * std::sin(a), 0x80AAAAFFu, 0, 0};
            quad[2] = {cx + (r + w) * std::cos(b), 0.1f, cz + (r + w) * std::sin(b), 0x80AAAAFFu, 0, 0};
            quad[3] = {cx + r * std::cos(b), 0.1f, cz + r * std::sin(b), 0x80AAAAFFu, 0, 0};
            device.drawPrimitiveUp(PrimitiveType::TriangleFan, 2, quad, sizeof quad[0]);
        }
    }
    device.setRenderState(renderState::Lighting, 1);
    device.setRenderState(renderState::AlphaBlendEnable, 0);
}

// Eight full trails of 96 segments, three passes each: a 32-vertex strip per stretch and
// 15 one-triangle fans for the head cap, with the cull mode set before every piece.
void drawTrails(GraphicsDevice& device) {
    device.setFvf(fvf::Xyz | fvf::Normal | fvf::Diffuse | fvf::Tex1);
    std::vector<TubeVertex> strip(32);
    TubeVertex cap[3];
    for (int pass = 0; pass < 24; ++pass) {
        for (int segment = 1; segment < 96; ++segment) {
            device.setRenderState(renderState::CullMode, pass % 3 == 0 ? Cull::Clockwise : Cull::CounterClockwise);
            for (int i = 0; i < 32; ++i) {
                const float a = static_cast<float>(i / 2) * 0.41887902f;
                const float z = static_cast<float>(segment - (i % 2)) * 0.6f;
                strip[static_cast<size_t>(i)] = {std::cos(a) + static_cast<float>(pass),
                                                 2 + std::sin(a),
                                                 z,
                                                 std::cos(a),
                                                 std::sin(a),
                                                 0,
                                                 0xFFE5E5E5u,
                                                 0.5f,
                                                 0.5f};
            }
            device.drawPrimitiveUp(PrimitiveType::TriangleStrip, 30, strip.data(), sizeof(TubeVertex));
        }
        for (int i = 0; i < 15; ++i) {
            device.setRenderState(renderState::CullMode, Cull::CounterClockwise);
            cap[0] = strip[static_cast<size_t>(i * 2)];
            cap[1] = strip[static_cast<size_t>(i * 2 + 2)];
            cap[2] = {static_cast<float>(pass), 2, 58, 0, 0, 1, 0xFFE5E5E5u, 0.5f, 0.5f};
            device.drawPrimitiveUp(PrimitiveType::TriangleFan, 1, cap, sizeof(TubeVertex));
        }
    }
}

void finishFrame(GraphicsDevice& device, std::vector<uint32_t>& pixels) {
    device.endScene();
    // Reading the frame waits until the renderer has finished it.
    device.readBackBuffer(pixels);
    benchmark::DoNotOptimize(pixels.data());
}

}  // namespace

// The fully busy ripple pool: 128 rings, 7680 draws.
static void BM_RippleRingFrame(benchmark::State& state) {
    auto device = openDevice();
    if (!device) return state.SkipWithError("no off-screen OpenGL");
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1, 0);
        device->beginScene();
        drawRings(*device, static_cast<int>(state.range(0)));
        finishFrame(*device, pixels);
    }
    state.counters["draws"] = static_cast<double>(state.range(0) * 60);
}
BENCHMARK(BM_RippleRingFrame)->Arg(8)->Arg(128)->Unit(benchmark::kMillisecond);

// Eight trails at their longest, three passes: 2640 draws.
static void BM_TrailFrame(benchmark::State& state) {
    auto device = openDevice();
    if (!device) return state.SkipWithError("no off-screen OpenGL");
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u, 1, 0);
        device->beginScene();
        drawTrails(*device);
        finishFrame(*device, pixels);
    }
}
BENCHMARK(BM_TrailFrame)->Unit(benchmark::kMillisecond);

// The part of each figure above that is only the read-back of the frame.
static void BM_ReadBackBuffer(benchmark::State& state) {
    auto device = openDevice();
    if (!device) return state.SkipWithError("no off-screen OpenGL");
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        device->clear(clearFlags::Target, 0xFF000000u, 1, 0);
        device->beginScene();
        finishFrame(*device, pixels);
    }
}
BENCHMARK(BM_ReadBackBuffer)->Unit(benchmark::kMillisecond);
