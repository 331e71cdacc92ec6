// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/os/WholeFile.h"

#include <fstream>
#include <iterator>

namespace glassfalls::platform {

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace glassfalls::platform
