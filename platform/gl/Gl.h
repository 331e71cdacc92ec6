// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// OpenGL with the entry points past 1.1 declared: the system library exports them for the
// compatibility contexts this program asks for.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
