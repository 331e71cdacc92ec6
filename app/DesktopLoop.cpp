// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PieceLoop.h"

namespace glassfalls {

int runPiece(std::unique_ptr<RunningPiece> piece) { return piece->application.run(); }

}  // namespace glassfalls
