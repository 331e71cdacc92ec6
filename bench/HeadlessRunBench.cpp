// SPDX-License-Identifier: GPL-3.0-or-later
// A headless run of 200 scene advances in one process: the title and 72 performance frames
// drawn off-screen on the virtual clock. Twenty seconds of the piece; the figure says how
// much faster than real time a recording or a test run goes on this machine.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/Application.h"
#include "platform/window/NullWindow.h"

using namespace glassfalls;

static void BM_HeadlessTwoHundredFrames(benchmark::State& state) {
    StartOptions options;
    options.headless = true;
    options.frameLimit = 200;
    options.dataDir = GLASSFALLS_SOURCE_DIR "/data";
    for (auto _ : state) {
        platform::VirtualClock clock;
        platform::NullKeyboard keys;
        Application app(
            {clock, keys, [](const platform::WindowConfig&) -> platform::Expected<std::unique_ptr<platform::Window>> {
                 return std::make_unique<platform::NullWindow>();
             }});
        if (const auto started = app.init(options); !started) {
            state.SkipWithError(started.error().c_str());
            break;
        }
        benchmark::DoNotOptimize(app.run());
    }
}
BENCHMARK(BM_HeadlessTwoHundredFrames)->Unit(benchmark::kMillisecond)->Iterations(3);
