// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/VertexDecode.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace glassfalls::platform::gl {

using gfx::PrimitiveType;

PixelRect viewportPixels(const gfx::Viewport& viewport, const gfx::ScreenMapping& screen) {
    auto edge = [&screen](float offset, uint32_t logical, float limit) {
        const float pixel = offset + screen.scale * static_cast<float>(logical);
        return static_cast<int>(std::lround(std::clamp(pixel, offset, offset + screen.scale * limit)));
    };
    const int left = edge(screen.offsetX, viewport.x, screen.width);
    const int top = edge(screen.offsetY, viewport.y, screen.height);
    const int right = edge(screen.offsetX, viewport.x + viewport.width, screen.width);
    const int bottom = edge(screen.offsetY, viewport.y + viewport.height, screen.height);
    return {left, top, right - left, bottom - top};
}

void toClipSpace(const uint8_t* in, uint32_t inStride, uint8_t* out, uint32_t outStride, uint32_t count,
                 const ScreenToClip& mapping) {
    const gfx::ScreenMapping& screen = mapping.screen;
    const auto left = static_cast<float>(mapping.viewport.x), top = static_cast<float>(mapping.viewport.y);
    const auto width = static_cast<float>(mapping.viewport.width);
    const auto height = static_cast<float>(mapping.viewport.height);
    for (uint32_t i = 0; i < count; ++i) {
        float v[4];
        std::memcpy(v, in + size_t{i} * inStride, sizeof v);
        const float w = v[3] != 0.0f ? 1.0f / v[3] : 1.0f;
        // At one pixel per unit and no offset this is the position itself, to the bit.
        const float x = screen.offsetX + screen.scale * v[0] - left;
        const float y = screen.offsetY + screen.scale * v[1] - top;
        const float clip[4] = {(x * 2.0f / width - 1.0f) * w, (1.0f - y * 2.0f / height) * w, (v[2] * 2.0f - 1.0f) * w,
                               w};
        std::memcpy(out + size_t{i} * outStride, clip, sizeof clip);
    }
}

void writeTriangleCorners(PrimitiveType type, uint32_t primitives, uint32_t first, uint32_t* corners) {
    for (uint32_t t = 0; t < primitives; ++t, corners += 3) {
        if (type == PrimitiveType::TriangleStrip) {
            corners[0] = first + (t % 2 ? t + 1 : t);
            corners[1] = first + (t % 2 ? t : t + 1);
            corners[2] = first + t + 2;
        } else if (type == PrimitiveType::TriangleFan) {
            corners[0] = first;
            corners[1] = first + t + 1;
            corners[2] = first + t + 2;
        } else {
            corners[0] = first + 3 * t;
            corners[1] = first + 3 * t + 1;
            corners[2] = first + 3 * t + 2;
        }
    }
}

}  // namespace glassfalls::platform::gl
