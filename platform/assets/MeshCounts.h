// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace glassfalls::platform::assets {

// The importer sizes its arrays from the counts a ".x" file declares before it reads the
// items, so a file that claims two billion vertices would have it fill gigabytes. No count or
// index can be larger than the file itself: each item takes at least a byte of it. False when
// the file's header says text or binary and a count does not fit; compressed files and what
// is not a ".x" file at all are left to the importer.
bool declaredCountsFit(std::span<const uint8_t> file);

}  // namespace glassfalls::platform::assets
