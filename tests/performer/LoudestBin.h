#pragma once

#include <algorithm>

#include "performer/SpectrumAnalyser.h"

namespace glassfalls::test_support {

// The bin between 60 and 139 with the smallest level (the loudest), the first on a tie: the
// range the performers listen to.
inline int loudestListenedBin(const SpectrumAnalyser& analyser) {
    const auto first = analyser.levels.begin() + 60;
    return static_cast<int>(std::min_element(first, first + 80) - analyser.levels.begin());
}

}  // namespace glassfalls::test_support
