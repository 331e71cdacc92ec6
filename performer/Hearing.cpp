// SPDX-License-Identifier: GPL-3.0-or-later
#include "performer/Hearing.h"

namespace glassfalls {

std::span<const float> Hearing::levels() {
    if (!analysed_) analyser_.analyse(block_, kSpectrumFloor);
    analysed_ = true;
    return {analyser_.levels.data(), static_cast<size_t>(kSpectrumSize / 2)};
}

}  // namespace glassfalls
