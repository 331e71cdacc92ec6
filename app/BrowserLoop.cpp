// SPDX-License-Identifier: GPL-3.0-or-later
#include <emscripten.h>

#include "app/PieceLoop.h"

namespace glassfalls {

namespace {

// The page is told once the piece has drawn its first frame (its loading line goes then).
void tellTheFirstFrame(const Application& application) {
    static bool told = false;
    if (told || application.advances() == 0) return;
    told = true;
    EM_ASM({
        if (Module.onFirstFrame) Module.onFirstFrame();
    });
}

void animationFrame(void* running) {
    auto* piece = static_cast<RunningPiece*>(running);
    const std::optional<int> code = piece->application.browserFrame();
    tellTheFirstFrame(piece->application);
    // Whoever drives the page (its test runner) times keys by the advances, as a key script does.
    EM_ASM({ Module.advances = $0; }, static_cast<double>(piece->application.advances()));
    if (!code) return;
    emscripten_cancel_main_loop();
    // Its files (the MIDI file, the last screenshot) are complete once it is gone.
    delete piece;
    emscripten_force_exit(*code);
}

}  // namespace

int runPiece(std::unique_ptr<RunningPiece> piece) {
    // The browser calls back on every animation frame from here on; this never returns.
    emscripten_set_main_loop_arg(animationFrame, piece.release(), 0, 1);
    return 0;
}

}  // namespace glassfalls
