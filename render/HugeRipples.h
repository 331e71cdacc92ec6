// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "math/Vector3.h"

namespace glassfalls {

// Where the falling title starts rings on the water: the ripple pool, one layer up.
class HugeRipples {
public:
    virtual ~HugeRipples() = default;
    // A huge ring at `position`, given in world coordinates.
    virtual void spawnHugeRipple(const Vector3& position) = 0;
};

}  // namespace glassfalls
