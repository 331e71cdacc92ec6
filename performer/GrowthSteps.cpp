// SPDX-License-Identifier: GPL-3.0-or-later
// The three ways a performer chooses its next point from the last laid segment.
#include <algorithm>
#include <cmath>

#include "math/Angles.h"
#include "performer/Performer.h"

namespace glassfalls {

bool Performer::steer(const Vector3& target, const Vector3& current, const Vector3& from, float length, uint8_t note,
                      uint8_t velocity) {
    const float d = (target.y * current.y + target.z * current.z) + target.x * current.x;
    float degrees = static_cast<float>(std::acos(static_cast<double>(d)) * 57.29579);
    Vector3 axis = target.cross(current);
    const bool parallel = std::fabs(axis.x) < 0.001f && std::fabs(axis.y) < 0.001f && std::fabs(axis.z) < 0.001f;
    if (parallel || d > 1.0f || d < -1.0f) {
        degrees = 0.0f;
        axis = target;
    } else {
        // At most ten degrees toward the target per step.
        degrees = std::min(degrees, 10.0f);
    }
    const Vector3 turned = current.rotate(bendRotation(axis, -degrees * kDegreesToRadians));
    return append(from + length * turned, note, velocity, false);
}

namespace {

// The fifteen candidates around the tube, 24 degrees apart like the rim points, each `bend`
// toward one direction across the tube from `forward` along it; `better` picks one.
template <typename Better, typename Keep>
void aroundTheTube(const TrailSegment& last, float forward, float bend, Better better, Keep keep) {
    const Vector3 ahead = forward * last.direction;
    const Vector3 across = last.rim[0].position - last.position;
    for (int i = 0; i < TrailSegment::kRimPoints; ++i) {
        const Vector3 side =
            across.rotate(bendRotation(last.direction, static_cast<float>(i * 24) * kDegreesToRadians));
        const Vector3 direction = ahead + bend * side;
        const Vector3 candidate = last.position + forward * normalise(direction);
        if (better(candidate.y)) keep(candidate, direction);
    }
}

}  // namespace

bool Performer::fall(float forward, float bend, bool refuseBelowWaterLine, Vector3& point) const {
    const TrailSegment& last = lastSegment();
    if (refuseBelowWaterLine && last.position.y < kWaterLine) return false;
    float lowest = 99999.0f;
    aroundTheTube(
        last, forward, bend, [&](float y) { return y < lowest; },
        [&](const Vector3& candidate, const Vector3&) {
            lowest = candidate.y;
            point = candidate;
        });
    return true;
}

bool Performer::rise(float forward, float bend, Vector3& direction) const {
    const TrailSegment& last = lastSegment();
    if (last.position.y > kWaterLine) return false;
    float highest = -99999.0f;
    aroundTheTube(
        last, forward, bend, [&](float y) { return y > highest; },
        [&](const Vector3& candidate, const Vector3& sum) {
            highest = candidate.y;
            direction = sum;
        });
    return true;
}

}  // namespace glassfalls
