// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls {

// Sine and cosine of whole degrees 0..359, filled once during start-up before the world is
// initialised, read-only afterwards (the ripple rings read them every frame).
extern float SinTable[360];
extern float CosTable[360];

void fillTrigTables();

}  // namespace glassfalls
