// SPDX-License-Identifier: GPL-3.0-or-later
// Options the sanitizer runtime reads at start-up, built into every program of a sanitizer
// build so that the tests and the programs they start behave alike.
//
// intercept_tls_get_addr=0: with this compiler's runtime and this C library, the leak
// checker's tracer crashes (signal 11) while walking the blocks of dynamic thread-local
// storage that it records through __tls_get_addr, depending only on how the stack is laid
// out (a longer argument list was enough). Not recording them avoids the crash; static TLS,
// stacks and globals are still scanned.
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }

extern "C" const char* __lsan_default_options() { return "suppressions=" GLASSFALLS_LSAN_SUPPRESSIONS; }
