// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/StartOptions.h"
#include "platform/os/Clock.h"

namespace glassfalls {

// --listen: a setup check for whoever installs the microphone. Listens to the capture device
// (or the WAV file) without a window and prints, ten times a second on one terminal line,
// how loud it is, the level and the note the performers would hear, and whether a
// performance would start, all computed by the performers' own hearing. Returns the exit
// status after Ctrl-C, SIGTERM or the end of the file.
int runListenCheck(const StartOptions& options, platform::Clock& clock);

}  // namespace glassfalls
