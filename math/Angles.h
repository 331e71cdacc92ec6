// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace glassfalls {

// The stored single-precision conversion factors. Everything that turns degrees into
// radians uses exactly these, so angles computed in different places agree bit for bit.
inline constexpr float kDegreesToRadians = 0.017453289f;
inline constexpr float kRadiansToDegrees = 57.29579f;

}  // namespace glassfalls
