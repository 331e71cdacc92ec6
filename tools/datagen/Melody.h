// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace datagen {

// The demo melody in the four-line score format: label, pitch band, level, duration.
std::string makeDemoMelody();

}  // namespace datagen
