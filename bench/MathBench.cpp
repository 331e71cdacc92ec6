// SPDX-License-Identifier: GPL-3.0-or-later
#include <benchmark/benchmark.h>

#include "math/Quaternion.h"

using namespace glassfalls;

// Every performer composes a turn and rotates its axes once per segment; this is the floor
// under that work.
static void BM_TurnAndRotate(benchmark::State& state) {
    Quaternion orientation;
    Quaternion turn;
    turn.fromAxisAngle({0, 1, 0}, 0.05f);
    Vector3 axis(1, 0, 0);
    for (auto _ : state) {
        orientation.product(orientation, turn);
        axis = Vector3(1, 0, 0).rotate(orientation.toMatrix());
        benchmark::DoNotOptimize(axis);
    }
}
BENCHMARK(BM_TurnAndRotate);
