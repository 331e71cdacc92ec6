// SPDX-License-Identifier: GPL-3.0-or-later
#include <emscripten.h>

#include "app/PieceLoop.h"

// What the page hears of the piece: its first frame (the loading line goes then), and its
// advances, by which whoever drives the page (its test runner) times keys, as a key script does.
// To press a key just before an advance whatever the page's pace, the driver holds the piece
// there (window.glassfallsHoldBefore, an advance) until it has pressed.
EM_JS(void, glassfallsTellFirstFrame, (), {
    if (Module.onFirstFrame) Module.onFirstFrame();
});
EM_JS(void, glassfallsTellAdvances, (double advances), { Module.advances = advances; });
// Loose equality on purpose: the C++ layout parts "===" and "??" in an EM_JS body.
EM_JS(double, glassfallsHoldBefore, (), {
    const hold = globalThis.glassfallsHoldBefore;
    return hold == undefined ? Infinity : hold;
});

namespace glassfalls {

namespace {

void tellTheFirstFrame(const Application& application) {
    static bool told = false;
    if (told || application.advances() == 0) return;
    told = true;
    glassfallsTellFirstFrame();
}

void animationFrame(void* running) {
    auto* piece = static_cast<RunningPiece*>(running);
    if (static_cast<double>(piece->application.advances()) + 1 >= glassfallsHoldBefore()) return;
    const std::optional<int> code = piece->application.browserFrame();
    tellTheFirstFrame(piece->application);
    glassfallsTellAdvances(static_cast<double>(piece->application.advances()));
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
