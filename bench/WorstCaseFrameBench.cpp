// SPDX-License-Identifier: GPL-3.0-or-later
// The costliest performance frame (see tests/support/WorstCaseFrame.h) on the software
// renderer: with the facade merging the scenes' small draws, without, and the floor, the
// same draws from buffers built once; and merged through the shader pipeline, on a core and
// an ES context.
#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

#include "platform/gl/GlDevice.h"
#include "platform/window/NullWindow.h"
#include "tests/support/StaticBufferFrame.h"
#include "tests/support/WorstCaseFrame.h"

using namespace glassfalls;

// The frame's size, the screen it shows and its samples a pixel: the piece's own by default.
struct FrameSetup {
    int width = 640, height = 480;
    PieceScreen screen;
    uint32_t samples = 0;
};

static void drawWorstCaseFrames(benchmark::State& state, bool merging,
                                platform::gfx::Renderer renderer = platform::gfx::Renderer::Compat,
                                const FrameSetup& setup = {}) {
    platform::NullWindow window(platform::NullWindow::Drawing::OffscreenGl, renderer);
    RenderDevice renderDevice;
    if (auto created = renderDevice.create(platform::deviceFactoryOf(window), setup.width, setup.height, true,
                                           setup.screen, setup.samples);
        !created) {
        return state.SkipWithError(created.error().c_str());
    }
    static_cast<platform::gl::GlDevice&>(*renderDevice.device).setMergingDraws(merging);
    test_support::WorstCaseFrame frame(renderDevice, GLASSFALLS_SOURCE_DIR "/data");
    if (!frame.failure().empty()) return state.SkipWithError(frame.failure().c_str());
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        frame.draw();
        // Reading the frame waits until the renderer has finished it.
        renderDevice.device->readBackBuffer(pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
}

static void BM_WorstCaseFrame(benchmark::State& state) { drawWorstCaseFrames(state, true); }
static void BM_WorstCaseFramePerPiece(benchmark::State& state) { drawWorstCaseFrames(state, false); }
static void BM_WorstCaseFrameShaders(benchmark::State& state, platform::gfx::Renderer renderer) {
    drawWorstCaseFrames(state, true, renderer);
}

static void BM_WorstCaseFrameFloor(benchmark::State& state) {
    platform::NullWindow window;
    RenderDevice renderDevice;
    if (auto created = renderDevice.create(platform::deviceFactoryOf(window), 640, 480, true); !created) {
        return state.SkipWithError(created.error().c_str());
    }
    test_support::WorstCaseFrame frame(renderDevice, GLASSFALLS_SOURCE_DIR "/data");
    if (!frame.failure().empty()) return state.SkipWithError(frame.failure().c_str());
    test_support::StaticBufferFrame floor(renderDevice, [&] { frame.draw(); });
    std::vector<uint32_t> pixels;
    for (auto _ : state) {
        floor.draw();
        renderDevice.device->readBackBuffer(pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["draws"] = static_cast<double>(floor.drawCount());
}

// The same frame at a display's own size, filled to its sides (the most a frame draws), with
// state.range(2) samples a pixel: 640 x 480 is the piece's own frame.
static void BM_WorstCaseFrameAtSize(benchmark::State& state, platform::gfx::Renderer renderer) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    drawWorstCaseFrames(state, true, renderer,
                        {width, height, PieceScreen::filling(width, height), static_cast<uint32_t>(state.range(2))});
}

static void atDisplaySizes(benchmark::internal::Benchmark* b) {
    for (const int samples : {0, 4}) {
        for (const auto& [w, h] : {std::pair{640, 480}, {1280, 720}, {1920, 1080}, {3840, 2160}})
            b->Args({w, h, samples});
    }
    b->ArgNames({"w", "h", "msaa"})->Unit(benchmark::kMillisecond)->MinTime(2);
}

BENCHMARK_CAPTURE(BM_WorstCaseFrameAtSize, compat, platform::gfx::Renderer::Compat)->Apply(atDisplaySizes);
BENCHMARK_CAPTURE(BM_WorstCaseFrameAtSize, core, platform::gfx::Renderer::Core)->Apply(atDisplaySizes);
BENCHMARK_CAPTURE(BM_WorstCaseFrameAtSize, es, platform::gfx::Renderer::Es)->Apply(atDisplaySizes);
BENCHMARK(BM_WorstCaseFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorstCaseFramePerPiece)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WorstCaseFrameShaders, core, platform::gfx::Renderer::Core)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WorstCaseFrameShaders, es, platform::gfx::Renderer::Es)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorstCaseFrameFloor)->Unit(benchmark::kMillisecond);
