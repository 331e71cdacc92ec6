// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <span>

namespace glassfalls::test_support {

// The bin between 60 and 139 with the smallest level (the loudest), the first on a tie: the
// range the performers listen to.
inline int loudestListenedBin(std::span<const float> levels) {
    const auto first = levels.begin() + 60;
    return static_cast<int>(std::min_element(first, first + 80) - levels.begin());
}

}  // namespace glassfalls::test_support
