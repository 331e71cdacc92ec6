// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "tools/datagen/Font.h"
#include "tools/datagen/Raster.h"

namespace datagen {

Raster makeBackground();                                          // 320 x 240, night-blue wash
Raster makeTitlePicture(const Font& bold, const Font& regular);   // 256 x 256 RGBA
Raster makeCreditPicture(const Font& bold, const Font& regular);  // 256 x 64 RGBA
Raster makeTitleSphereMap();                                      // cool glass with bright highlights
Raster makeTrailSphereMap();                                      // bright studio
Raster makeGround();                                              // calm sand under shallow water

// The pictures in a row on a checkerboard (which shows through transparent parts).
Raster makeContactSheet(const std::vector<const Raster*>& pictures);

}  // namespace datagen
