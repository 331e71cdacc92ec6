// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls {
inline constexpr const char* kVersion = "0.1.0";
}
