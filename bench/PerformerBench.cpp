// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of the eight performers at the costliest moment: laying the 96th segment, when
// every attempt is tested against the whole trail behind it.
#include <benchmark/benchmark.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "performer/Performer.h"
#include "tests/performer/TestSurroundings.h"
#include "tests/support/TempPath.h"

using namespace glassfalls;

static void BM_EightPerformersLayTheirLastSegment(benchmark::State& state) {
    const auto scoreFile = test_support::tempPath("bench-melody.dat");
    // One long G: the trail bends the same way round the tube every step and winds back on
    // itself, so the proximity test refuses many headings.
    std::ofstream(scoreFile) << "G\n100\n200\n1000\n";

    test_support::TestSurroundings world(std::make_unique<platform::NullMidiPort>());
    std::array<Performer, 8> performers;
    for (Performer& p : performers) {
        if (auto made = p.init(&world, 288, scoreFile.string()); !made)
            return state.SkipWithError(made.error().c_str());
    }

    for (auto _ : state) {
        state.PauseTiming();
        for (Performer& p : performers) {
            p.reset();
            while (p.segmentCount < 95) p.update();
        }
        state.ResumeTiming();
        for (Performer& p : performers) p.update();
        benchmark::DoNotOptimize(performers[7].segmentCount);
    }
    std::filesystem::remove(scoreFile);
}
BENCHMARK(BM_EightPerformersLayTheirLastSegment)->Unit(benchmark::kMicrosecond);
