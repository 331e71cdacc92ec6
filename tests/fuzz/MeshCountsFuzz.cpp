// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes, as a ".x" file of each of its formats, to the check that refuses a
// model declaring more than it holds before the importer trusts its counts: it must never
// read outside the bytes, whatever they claim.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/assets/MeshCounts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    glassfalls::platform::assets::declaredCountsFit({data, size});
    // The same body behind each header, so that mutations need not find one first.
    for (const char* header : {"xof 0303txt 0032", "xof 0303bin 0032", "xof 0303bin 0064"}) {
        std::vector<uint8_t> file(header, header + 16);
        file.insert(file.end(), data, data + size);
        glassfalls::platform::assets::declaredCountsFit(file);
    }
    return 0;
}
