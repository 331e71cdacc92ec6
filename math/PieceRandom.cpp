// SPDX-License-Identifier: GPL-3.0-or-later
#include "math/PieceRandom.h"

namespace glassfalls::pieceRandom {

namespace {
uint32_t state = 1;  // the C library's generator starts as if seeded with 1
}

void seed(uint32_t value) { state = value; }

uint32_t position() { return state; }

void resume(uint32_t position) { state = position; }

int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

}  // namespace glassfalls::pieceRandom
