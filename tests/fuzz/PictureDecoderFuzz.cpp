// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes through the picture loader's decode-by-content entry: it must refuse or decode,
// never read out of bounds or crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/assets/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    glassfalls::platform::assets::Picture picture;
    if (glassfalls::platform::assets::decodePicture({data, size}, picture) &&
        picture.texels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)) {
        std::abort();
    }
    return 0;
}
