// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "performer/SpectrumAnalyser.h"

using namespace glassfalls;

// One block's analysis, which the performers share (see Hearing).
static void BM_AnalyseBlock(benchmark::State& state) {
    SpectrumAnalyser analyser;
    if (auto made = analyser.init(1024); !made) return state.SkipWithError(made.error().c_str());
    std::vector<int16_t> samples(1024);
    for (size_t i = 0; i < 800; ++i) {
        samples[i] =
            static_cast<int16_t>(12000.0 * std::sin(2.0 * 3.14159265358979 * 100.0 * static_cast<double>(i) / 1024.0));
    }
    for (auto _ : state) {
        analyser.analyse(samples, 480.0f);
        benchmark::DoNotOptimize(analyser.levels.data());
    }
}
BENCHMARK(BM_AnalyseBlock);
