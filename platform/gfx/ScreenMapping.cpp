// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>

#include "platform/gfx/DeviceTypes.h"

namespace glassfalls::platform::gfx {

ScreenMapping screenMappingOf(const PresentParameters& parameters) {
    const auto width = static_cast<float>(parameters.backBufferWidth);
    const auto height = static_cast<float>(parameters.backBufferHeight);
    const LogicalScreen& screen = parameters.screen;
    if (screen.width <= 0 || screen.height <= 0) return {1, 0, 0, width, height};
    const float scale = std::min(width / screen.width, height / screen.height);
    return {scale, std::round((width - scale * screen.width) / 2), std::round((height - scale * screen.height) / 2),
            screen.width, screen.height};
}

}  // namespace glassfalls::platform::gfx
