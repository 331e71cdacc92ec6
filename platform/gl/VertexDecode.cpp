// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/gl/VertexDecode.h"

#include <cstring>

namespace glassfalls::platform::gl {

using gfx::PrimitiveType;

void toClipSpace(const uint8_t* in, uint32_t inStride, uint8_t* out, uint32_t outStride, uint32_t count,
                 const gfx::PresentParameters& parameters) {
    const auto width = static_cast<float>(parameters.backBufferWidth);
    const auto height = static_cast<float>(parameters.backBufferHeight);
    for (uint32_t i = 0; i < count; ++i) {
        float v[4];
        std::memcpy(v, in + size_t{i} * inStride, sizeof v);
        const float w = v[3] != 0.0f ? 1.0f / v[3] : 1.0f;
        const float clip[4] = {(v[0] * 2.0f / width - 1.0f) * w, (1.0f - v[1] * 2.0f / height) * w,
                               (v[2] * 2.0f - 1.0f) * w, w};
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
