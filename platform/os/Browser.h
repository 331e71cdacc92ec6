// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls::platform {

// Built to run in a web page: one video driver (the page's canvas), WebGL 2 as the only
// OpenGL (ES 3.0), and no processes, signals or device files.
#ifdef __EMSCRIPTEN__
inline constexpr bool kInBrowser = true;
#else
inline constexpr bool kInBrowser = false;
#endif

}  // namespace glassfalls::platform
