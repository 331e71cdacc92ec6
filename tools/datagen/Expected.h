// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The generator fails as the piece does: a value, or the failure that kept it from being made.
#include "platform/os/Expected.h"

namespace datagen {
using glassfalls::platform::Expected;
using glassfalls::platform::failure;
}  // namespace datagen
