// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace glassfalls {

// What a status request is answered with.
struct ShowStatus {
    std::string scene;       // "title" or "performance"
    int32_t performers = 0;  // performers in a performance
    int32_t framesDrawn = 0;
};

}  // namespace glassfalls
