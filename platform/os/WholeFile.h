// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glassfalls::platform {

// The whole file at `path`, or false when it cannot be read.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace glassfalls::platform
