// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "app/Application.h"
#include "app/Backends.h"

namespace glassfalls {

// The piece with the clock and keyboard it runs on, kept together for whatever drives it.
struct RunningPiece {
    RunningPiece(std::unique_ptr<platform::Clock> chosenClock, std::unique_ptr<platform::Keyboard> chosenKeyboard)
        : clock(std::move(chosenClock)),
          keyboard(std::move(chosenKeyboard)),
          application({*clock, *keyboard, pickWindowOpener()}) {}
    std::unique_ptr<platform::Clock> clock;
    std::unique_ptr<platform::Keyboard> keyboard;
    Application application;
};

// Runs a started piece until it ends and returns its exit status. On the desktop the loop
// sleeps between passes; in a browser the page's animation frames drive it, and the status
// goes to the page when the piece ends.
int runPiece(std::unique_ptr<RunningPiece> piece);

}  // namespace glassfalls
