// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The piece's own random sequence, drawn by the title's huge ripples and a closing trail's
// small ones. It has the C library's interface but not its state: libraries such as the
// synthesiser call rand() thousands of times while they start, and the C library's sequence
// differs between systems, so the ripples would change with the outputs that are open and
// the machine the piece runs on. This is the sequence of the platform the piece was first
// made for, the same on every machine. Main thread only.
namespace glassfalls::pieceRandom {

inline constexpr int kMax = 32767;

void seed(uint32_t value);
// The next value, 0 … kMax.
int next();
// Where the sequence is, and going on from there: another machine draws the same values next.
uint32_t position();
void resume(uint32_t position);

}  // namespace glassfalls::pieceRandom
