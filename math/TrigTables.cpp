// SPDX-License-Identifier: GPL-3.0-or-later
#include "math/TrigTables.h"

#include <cmath>

#include "math/Angles.h"

namespace glassfalls {

float SinTable[360];
float CosTable[360];

void fillTrigTables() {
    // Product and sine in extended precision, then one rounding to float: the table entry is
    // the float nearest to the true value for the stored conversion factor.
    const long double factor = kDegreesToRadians;
    for (int i = 0; i < 360; ++i) {
        const long double radians = static_cast<long double>(i) * factor;
        SinTable[i] = static_cast<float>(std::sin(radians));
        CosTable[i] = static_cast<float>(std::cos(radians));
    }
}

}  // namespace glassfalls
