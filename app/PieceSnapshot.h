// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "app/SceneDirector.h"
#include "app/World.h"
#include "platform/gfx/GraphicsDevice.h"
#include "platform/os/Expected.h"

namespace glassfalls {

// The whole piece as it stands after an advance, as bytes another machine running the same
// version on the same data can go on from: the scene and its fades, the performers with
// their trails, the ripples, the contour trackers, the random sequence, the light mask and
// the ground's picture. Deterministic: the same piece gives the same bytes.
std::vector<uint8_t> takeSnapshot(uint64_t advance, uint64_t dataFingerprint, const World& world,
                                  const SceneDirector& director);

// Puts the piece in `bytes` into `world` and `director`, and returns the advance it was
// taken after. Bytes from anywhere are safe to give: what is not a snapshot of this version on
// this data is refused, saying why. A snapshot refused part way leaves the piece unfit to
// draw until another is restored.
platform::Expected<uint64_t> restoreSnapshot(std::span<const uint8_t> bytes, uint64_t dataFingerprint, World& world,
                                             SceneDirector& director, platform::gfx::GraphicsDevice& device);

}  // namespace glassfalls
