// Feeds arbitrary bytes to the BMP decoder: it must refuse or decode, never read outside the
// file or write outside the picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gfx/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    glassfalls::platform::gfx::Picture picture;
    if (glassfalls::platform::gfx::decodeBmp({data, size}, picture) &&
        picture.texels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)) {
        std::abort();
    }
    return 0;
}
