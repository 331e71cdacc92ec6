// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/math/VectorExpectations.h"
#include "trail/TrailSegment.h"

namespace glassfalls {
namespace {

using test_support::expectNear;

constexpr float kTolerance = 1e-5f;

// A trail with its first segment at the origin, radius 0.8, as a performer's reset makes it.
struct Trail {
    Trail() : segments(288) {
        for (TrailSegment& s : segments) clearSegment(s);
        buildFirstSegment(segments[0], {0, 0, 0}, 0.8f);
    }
    bool append(const Vector3& point, float radius = 0.8f, bool force = false) {
        if (!buildSegment(segments, count, point, radius, 60, 100, force)) return false;
        ++count;
        return true;
    }
    // Every rim point of segment k is `radius` from its centre and square to its direction.
    void expectRimAround(int k) const {
        const TrailSegment& s = segments[static_cast<size_t>(k)];
        for (const RimPoint& p : s.rim) {
            EXPECT_NEAR(length(p.position - s.position), s.radius, kTolerance) << "segment " << k;
            EXPECT_NEAR((p.position - s.position).dot(s.direction), 0.0f, kTolerance) << "segment " << k;
            expectNear(p.normal, normalise(s.position - p.position));
        }
    }
    std::vector<TrailSegment> segments;
    int count = 1;
};

TEST(TrailSegment, FirstSegmentRingsTheOriginWithNormalsPointingIn) {
    const Trail trail;
    const TrailSegment& first = trail.segments[0];
    expectNear(first.rim[0].position, {0.8f, 0, 0});
    const float a = 96.0f * 3.14159265f / 180.0f;
    expectNear(first.rim[4].position, {0.8f * std::cos(a), 0, -0.8f * std::sin(a)});
    for (const RimPoint& p : first.rim) {
        expectNear(p.normal, normalise(Vector3{} - p.position));
        EXPECT_NEAR(length(p.normal), 1.0f, kTolerance);
    }
    EXPECT_EQ(first.direction, (Vector3{0, 1, 0}));
    EXPECT_EQ(first.bendAxis, (Vector3{1, 0, 0}));
    EXPECT_EQ(first.previous, nullptr);
}

TEST(TrailSegment, StraightPathCarriesTheRimAlongScaledToEachRadius) {
    Trail trail;
    ASSERT_TRUE(trail.append({0, 1, 0}, 1.0f));
    ASSERT_TRUE(trail.append({0, 2, 0}, 0.5f));
    for (int k = 1; k <= 2; ++k) {
        const TrailSegment& s = trail.segments[static_cast<size_t>(k)];
        EXPECT_EQ(s.bendAxis, (Vector3{1, 0, 0}));
        expectNear(s.direction, {0, 1, 0});
        for (int i = 0; i < TrailSegment::kRimPoints; ++i) {
            const Vector3 pattern = (1.0f / 0.8f) * trail.segments[0].rim[static_cast<size_t>(i)].position;
            expectNear(s.rim[static_cast<size_t>(i)].position, s.position + s.radius * pattern);
        }
    }
    EXPECT_EQ(trail.segments[2].previous, &trail.segments[1]);
    EXPECT_EQ(trail.segments[2].note, 60);
}

TEST(TrailSegment, ARightAngleTurnsTheRimWithThePathAndReaimsThePrevious) {
    Trail trail;
    ASSERT_TRUE(trail.append({0, 1, 0}));
    ASSERT_TRUE(trail.append({1, 1, 0}));
    const TrailSegment& turned = trail.segments[2];
    expectNear(turned.direction, {1, 0, 0});
    trail.expectRimAround(2);
    // The previous segment now points along the chord from the origin to (1, 1, 0).
    const float h = std::sqrt(0.5f);
    expectNear(trail.segments[1].direction, {h, h, 0});
    trail.expectRimAround(1);
    // Rim point 0 started at +x; a bend about z keeps it in the x-y plane.
    EXPECT_NEAR(turned.rim[0].position.z, 0.0f, kTolerance);
    expectNear(turned.bendAxis, {0, 0, 1});
}

TEST(TrailSegment, BendRotationTurnsTheEarlierDirectionOntoTheLater) {
    const Vector3 earlier = normalise(Vector3{0, 1, 0});
    const Vector3 later = normalise(Vector3{1, 1, 1});
    const Bend bend = bendBetween(earlier, later, {1, 0, 0});
    expectNear(earlier.rotate(bend.rotation), later);
}

TEST(TrailSegment, ExactReversalFallsBackToTheStoredAxisWithoutTurning) {
    Trail trail;
    ASSERT_TRUE(trail.append({0, 2, 0}));
    trail.segments[1].bendAxis = {0, 0, 1};
    ASSERT_TRUE(trail.append({0, 1, 0}));
    const TrailSegment& back = trail.segments[2];
    expectNear(back.direction, {0, -1, 0});
    EXPECT_EQ(back.bendAxis, (Vector3{0, 0, 1})) << "the previous segment's axis";
    for (int i = 0; i < TrailSegment::kRimPoints; ++i) {
        const Vector3 before = trail.segments[1].rim[static_cast<size_t>(i)].position - trail.segments[1].position;
        expectNear(back.rim[static_cast<size_t>(i)].position - back.position, before);
    }
}

TEST(TrailSegment, ZeroLengthStepKeepsZeroVectorsAndTheRim) {
    Trail trail;
    ASSERT_TRUE(trail.append({0, 0, 0}));
    EXPECT_EQ(trail.segments[1].direction, (Vector3{0, 0, 0}));
    expectNear(trail.segments[1].rim[0].position, {0.8f, 0, 0});
}

// Segments placed by hand: only positions, directions and the previous links matter to the
// proximity test.
std::vector<TrailSegment> laidAlong(const std::vector<Vector3>& points) {
    std::vector<TrailSegment> segments(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        segments[i].position = points[i];
        segments[i].previous = i > 0 ? &segments[i - 1] : nullptr;
        segments[i].direction = i > 0 ? normalise(points[i] - points[i - 1]) : Vector3{0, 1, 0};
    }
    return segments;
}

// Segment 12 steps from (0.2, 1.5, 0.5) toward -z; its probe runs from (0.2, 1.5, -2.8) to
// (0.2, 1.5, 0.2). Segments 3 to 10 are far away.
std::vector<Vector3> aroundTheProbe(const Vector3& s0, const Vector3& s1, const Vector3& s2) {
    std::vector<Vector3> points{s0, s1, s2};
    for (int i = 3; i <= 10; ++i) points.push_back({30.0f + static_cast<float>(i), 5, 0});
    points.push_back({0.2f, 1.5f, 0.5f});
    points.push_back({0.2f, 1.5f, 0.2f});
    return points;
}

TEST(PassesNearTrail, ExaminesOnlyStretchesElevenOrMoreSegmentsBack) {
    // Stretch 0-1 a quarter unit beside the probe.
    auto besideFirst = laidAlong(aroundTheProbe({0, 1, -1}, {0, 2, -1}, {30, 5, 0}));
    EXPECT_FALSE(passesNearTrail(besideFirst, 11)) << "too few segments to test";
    EXPECT_TRUE(passesNearTrail(besideFirst, 12));

    // Stretch 1-2 runs through the probe's neighbourhood, stretch 0-1 is far: at index 12
    // only stretch 0-1 is examined.
    auto besideSecond = laidAlong(aroundTheProbe({-50, 0, 0}, {-50, 1, 0}, {0, 1.6f, -1}));
    EXPECT_FALSE(passesNearTrail(besideSecond, 12));
    // One segment later (same probe) stretch 1-2 is old enough to be examined.
    auto points = aroundTheProbe({-50, 0, 0}, {-50, 1, 0}, {0, 1.6f, -1});
    points.insert(points.begin() + 3, Vector3{31, 5, 0});
    EXPECT_TRUE(passesNearTrail(laidAlong(points), 13));
}

TEST(PassesNearTrail, AProbeThroughTheOldStretchDoesNotCount) {
    // The probe from (0, 0.5, -1) three units along +z crosses stretch 0-1 at (0, 0.5, 0):
    // its closest points coincide.
    std::vector<Vector3> points{{0, 0, 0}, {0, 1, 0}};
    for (int i = 2; i <= 11; ++i) points.push_back({100, static_cast<float>(i), 0});
    points.push_back({0, 0.5f, -1});
    auto segments = laidAlong(points);
    segments[12].direction = {0, 0, 1};
    EXPECT_FALSE(passesNearTrail(segments, 12));
}

TEST(SegmentDistance, CrossingSkewParallelAndClampedPairs) {
    const SegmentDistance crossing = segmentDistance({-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0});
    EXPECT_NEAR(crossing.distance, 0.0f, kTolerance);
    expectNear(crossing.closestOnA, {0, 0, 0});

    const SegmentDistance skew = segmentDistance({-1, 0, 0}, {1, 0, 0}, {0, 1, -1}, {0, 1, 1});
    EXPECT_NEAR(skew.distance, 1.0f, kTolerance);
    expectNear(skew.closestOnB, {0, 1, 0});

    const SegmentDistance side = segmentDistance({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0});
    EXPECT_EQ(side.closestOnA, (Vector3{0, 0, 0})) << "parallel: from the first end";
    EXPECT_NEAR(side.distance, 1.0f, kTolerance);

    const SegmentDistance ahead = segmentDistance({0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 1, 0});
    EXPECT_EQ(ahead.closestOnA, (Vector3{1, 0, 0}));
    EXPECT_EQ(ahead.closestOnB, (Vector3{2, 1, 0}));
    EXPECT_NEAR(ahead.distance, std::sqrt(2.0f), kTolerance);

    const SegmentDistance behind = segmentDistance({0, 0, 0}, {1, 0, 0}, {-3, 1, 0}, {-2, 1, 0});
    EXPECT_EQ(behind.closestOnA, (Vector3{0, 0, 0}));
    EXPECT_EQ(behind.closestOnB, (Vector3{-2, 1, 0}));

    // Past the end of the first stretch: it clamps to its end, the other keeps its point.
    const SegmentDistance clamped = segmentDistance({0, 0, 0}, {1, 0, 0}, {2, -1, 1}, {2, 1, 1});
    EXPECT_EQ(clamped.closestOnA, (Vector3{1, 0, 0}));
    expectNear(clamped.closestOnB, {2, 0, 1});
    EXPECT_NEAR(clamped.distance, std::sqrt(2.0f), kTolerance);

    const SegmentDistance point = segmentDistance({0, 0, 0}, {1, 0, 0}, {5, 5, 0}, {5, 5, 0});
    EXPECT_TRUE(std::isfinite(point.distance)) << "a stretch of no length is a point";
    expectNear(point.closestOnB, {5, 5, 0});
}

}  // namespace
}  // namespace glassfalls
