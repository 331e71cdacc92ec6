// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "math/Matrix4.h"
#include "math/Vector3.h"

namespace glassfalls {

// The radius of a performer's glass tube, in world units.
inline constexpr float kTubeRadius = 0.8f;

// A point of the ring around the path and the unit vector from it into the tube.
struct RimPoint {
    Vector3 position;
    Vector3 normal;
};

// One piece of a performer's trail: where the path was, which way it ran, and the ring of
// 15 points around it that the drawing joins to the next ring into a tube.
struct TrailSegment {
    static constexpr int kRimPoints = 15;

    uint8_t note = 0;  // 255: none
    uint8_t velocity = 0;
    TrailSegment* previous = nullptr;
    float radius = 0;
    Vector3 position;
    Vector3 direction;
    std::array<RimPoint, kRimPoints> rim{};
    Vector3 bendAxis;  // reused when a bend is degenerate
};

// The rotation about `axis` (normalised first) by `radians`, in the column form of
// Vector3::rotate.
Matrix4 bendRotation(const Vector3& axis, float radians);

// The rotation that turns `earlier` onto `later`, and the axis it turns about; degenerate
// bends (parallel or opposite directions) turn by 0 about `fallbackAxis`.
struct Bend {
    Matrix4 rotation;
    Vector3 axis;
};
Bend bendBetween(const Vector3& earlier, const Vector3& later, const Vector3& fallbackAxis);

void clearSegment(TrailSegment& segment);
void buildFirstSegment(TrailSegment& segment, const Vector3& position, float radius);
// Builds segments[index] after segments[index - 1]; false when the path would run into the
// older trail and `force` is not set (or index has no previous segment in the array). Also
// re-aims the previous segment along the chord from the one before it to the new point.
bool buildSegment(std::span<TrailSegment> segments, int index, const Vector3& position, float radius, uint8_t note,
                  uint8_t velocity, bool force);
// Whether three units ahead of segments[index] the path comes too close to a stretch laid
// at least eleven segments earlier.
bool passesNearTrail(std::span<const TrailSegment> segments, int index);

struct SegmentDistance {
    float distance = 0;
    Vector3 closestOnA;  // on a1-a2
    Vector3 closestOnB;  // on b1-b2
};
SegmentDistance segmentDistance(const Vector3& a1, const Vector3& a2, const Vector3& b1, const Vector3& b2);

}  // namespace glassfalls
