// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace glassfalls::platform {

// Appends the low `bytes` bytes of `value`, lowest first: the byte order of the files and
// messages the piece writes, whatever the machine's own.
inline void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace glassfalls::platform
