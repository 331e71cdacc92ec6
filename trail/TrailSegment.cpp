// SPDX-License-Identifier: GPL-3.0-or-later
#include "trail/TrailSegment.h"

#include <cmath>

#include "math/Angles.h"

namespace glassfalls {

Matrix4 bendRotation(const Vector3& unnormalisedAxis, float radians) {
    const Vector3 a = normalise(unnormalisedAxis);
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const float k = 1.0f - c;
    Matrix4 r = Matrix4::identity();
    r.m[0][0] = a.x * a.x * k + c;
    r.m[0][1] = a.x * a.y * k - a.z * s;
    r.m[0][2] = a.x * a.z * k + a.y * s;
    r.m[1][0] = a.x * a.y * k + a.z * s;
    r.m[1][1] = a.y * a.y * k + c;
    r.m[1][2] = a.y * a.z * k - a.x * s;
    r.m[2][0] = a.x * a.z * k - a.y * s;
    r.m[2][1] = a.y * a.z * k + a.x * s;
    r.m[2][2] = a.z * a.z * k + c;
    return r;
}

Bend bendBetween(const Vector3& earlier, const Vector3& later, const Vector3& fallbackAxis) {
    const float dot = earlier.dot(later);
    // Outside [-1, 1] the arc cosine is meaningless; the degenerate test below discards it.
    float degrees = static_cast<float>(std::acos(static_cast<double>(dot)) * 57.29579);
    Vector3 axis = normalise(later.cross(earlier));
    const bool tiny = std::fabs(axis.x) < 0.001f && std::fabs(axis.y) < 0.001f && std::fabs(axis.z) < 0.001f;
    if (tiny || dot > 1.0f || dot < -1.0f) {
        axis = fallbackAxis;
        degrees = 0.0f;
    }
    return {bendRotation(axis, -(degrees * kDegreesToRadians)), axis};
}

void clearSegment(TrailSegment& segment) {
    segment.note = 0;
    segment.velocity = 0;
    segment.previous = nullptr;
}

namespace {

// Points every rim normal from the rim into the tube's centre line.
void aimNormals(TrailSegment& segment) {
    for (RimPoint& p : segment.rim) p.normal = normalise(segment.position - p.position);
}

// The rim of `from`, turned by `rotation` and scaled to `to`'s radius around `to`'s position.
void carryRim(const TrailSegment& from, TrailSegment& to, const Matrix4& rotation) {
    for (int i = 0; i < TrailSegment::kRimPoints; ++i) {
        const Vector3 u = normalise(from.rim[static_cast<size_t>(i)].position - from.position);
        to.rim[static_cast<size_t>(i)].position = to.position + (to.radius * u).rotate(rotation);
    }
}

}  // namespace

void buildFirstSegment(TrailSegment& segment, const Vector3& position, float radius) {
    segment.position = position;
    segment.radius = radius;
    segment.previous = nullptr;
    segment.direction = {0, 1, 0};
    segment.bendAxis = {1, 0, 0};
    for (int i = 0; i < TrailSegment::kRimPoints; ++i) {
        const float a = static_cast<float>(i * 24) * kDegreesToRadians;
        segment.rim[static_cast<size_t>(i)].position =
            position + Vector3{radius * std::cos(a), 0.0f, -radius * std::sin(a)};
    }
    aimNormals(segment);
}

bool buildSegment(std::span<TrailSegment> segments, int index, const Vector3& position, float radius, uint8_t note,
                  uint8_t velocity, bool force) {
    if (index < 1 || static_cast<size_t>(index) >= segments.size()) return false;
    TrailSegment& segment = segments[static_cast<size_t>(index)];
    TrailSegment& previous = segments[static_cast<size_t>(index - 1)];
    segment.note = note;
    segment.velocity = velocity;
    segment.position = position;
    segment.previous = &previous;
    segment.radius = radius;
    segment.direction = normalise(position - previous.position);
    if (!force && passesNearTrail(segments, index)) return false;

    const Bend bend = bendBetween(previous.direction, segment.direction, previous.bendAxis);
    segment.bendAxis = bend.axis;
    carryRim(previous, segment, bend.rotation);
    aimNormals(segment);

    // Now that the next point is known, the previous segment points along the chord from
    // the one before it, so that the tube bends through it rather than at it.
    if (TrailSegment* beforePrevious = previous.previous) {
        previous.direction = normalise(position - beforePrevious->position);
        const Bend reaim = bendBetween(previous.direction, segment.direction, beforePrevious->bendAxis);
        previous.bendAxis = reaim.axis;
        const TrailSegment unturned = previous;
        carryRim(unturned, previous, reaim.rotation);
        aimNormals(previous);
    }
    return true;
}

bool passesNearTrail(std::span<const TrailSegment> segments, int index) {
    if (index < 12 || static_cast<size_t>(index) >= segments.size()) return false;
    const TrailSegment& s = segments[static_cast<size_t>(index)];
    const float step = s.previous ? length(s.position - s.previous->position) : 0.0f;
    const Vector3 probeAhead = s.position + 3.0f * s.direction;
    for (int j = 1; j <= index - 11; ++j) {
        const Vector3& b1 = segments[static_cast<size_t>(j)].position;
        const Vector3& b2 = segments[static_cast<size_t>(j - 1)].position;
        const SegmentDistance near = segmentDistance(probeAhead, s.position, b1, b2);
        const bool samePoint = near.closestOnA.x == near.closestOnB.x && near.closestOnA.y == near.closestOnB.y;
        if (near.distance < length(b1 - b2) + step && !samePoint) return true;
    }
    return false;
}

SegmentDistance segmentDistance(const Vector3& p1, const Vector3& p2, const Vector3& p3, const Vector3& p4) {
    const Vector3 u = p2 - p1, v = p4 - p3, w = p1 - p3;
    const float a = u.dot(u), b = u.dot(v), c = v.dot(v), d = u.dot(w), e = v.dot(w);
    const float den = c * a - b * b;
    SegmentDistance r;
    if (std::fabs(den) > 0.00001f) {
        const float s = (b * e - c * d) / den;
        const float t = (a * e - b * d) / den;
        r.closestOnA = s < 0.0f ? p1 : s > 1.0f ? p2 : p1 + s * u;
        r.closestOnB = t < 0.0f ? p3 : t > 1.0f ? p4 : p3 + t * v;
    } else {
        // Parallel. A stretch of no length has its one point as the closest.
        const float t = c != 0.0f ? e / c : 0.0f;
        if (t < 0.0f) {
            r.closestOnA = p2;
            r.closestOnB = p3;
        } else if (t > 1.0f) {
            r.closestOnA = p1;
            r.closestOnB = p4;
        } else {
            r.closestOnA = p1;
            r.closestOnB = p3 + t * v;
        }
    }
    r.distance = length(r.closestOnA - r.closestOnB);
    return r;
}

}  // namespace glassfalls
