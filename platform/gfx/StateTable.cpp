// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gfx/StateTable.h"

#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls::platform::gfx {

void applyStates(GraphicsDevice& device, std::span<const StateSetting> table) {
    for (const StateSetting& setting : table) device.setState(setting);
}

}  // namespace glassfalls::platform::gfx
