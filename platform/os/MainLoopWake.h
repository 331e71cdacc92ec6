// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls::platform {

// What wakes the main loop's wait from another thread or a signal handler: an event
// descriptor the window's wait watches beside its sockets and its display. Process-wide, as
// there is one main loop.

// The descriptor, made on the first call, which the main thread makes before any thread
// could wake it; -1 when the system gives none.
int mainLoopWakeDescriptor();
// Any thread, and signal handlers: the next wait, or the one in progress, returns.
void wakeTheMainLoop();
// Main thread, after a wait: forgets the wakes that were asked for.
void clearMainLoopWake();

}  // namespace glassfalls::platform
