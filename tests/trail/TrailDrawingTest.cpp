// SPDX-License-Identifier: GPL-3.0-or-later
// The three passes of a trail drawn for real off-screen, seen from the side so that the water
// is the screen's middle line. Each test says which fault it would catch.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "math/MatrixBuilders.h"
#include "math/PieceRandom.h"
#include "math/TrigTables.h"
#include "platform/gfx/RecordingDevice.h"
#include "render/Ground.h"
#include "render/StatePresets.h"
#include "tests/platform/gfx/Vertices.h"
#include "tests/platform/gl/OffscreenDevice.h"
#include "tests/render/RenderDeviceFixture.h"
#include "trail/TrailDrawing.h"

namespace glassfalls {
namespace {

using namespace platform::gfx;

constexpr uint32_t kBackground = 0x000080;  // dark blue, so that a dark tube still shows
constexpr uint32_t kMarker = 0xFF0000;

// A straight trail through the given points, radius 0.8, as the performers lay it.
struct Trail {
    explicit Trail(const std::vector<Vector3>& points) : segments(32) {
        for (TrailSegment& s : segments) clearSegment(s);
        buildFirstSegment(segments[0], points[0], kTubeRadius);
        for (size_t i = 1; i < points.size(); ++i) {
            EXPECT_TRUE(buildSegment(segments, static_cast<int>(i), points[i], kTubeRadius, 60, 100, true));
        }
        count = static_cast<int32_t>(points.size());
    }
    // Segments point at their neighbours in this trail's own array.
    Trail(const Trail&) = delete;
    Trail& operator=(const Trail&) = delete;

    TrailView view(bool started = true) { return {segments, count, started, closing, cursor, endCount}; }

    std::vector<TrailSegment> segments;
    int32_t count = 0;
    bool closing = false;
    int32_t cursor = 0;
    int32_t endCount = 0;
};

// Upright at x, one segment per unit from y = -3 to y = 3: half under the water.
Trail uprightTrail(float x) {
    std::vector<Vector3> points;
    for (int y = -3; y <= 3; ++y) points.push_back({x, static_cast<float>(y), 0});
    return Trail(points);
}

class TrailDrawing : public test_support::RenderDeviceFixture {
protected:
    void SetUp() override {
        RenderDeviceFixture::SetUp();
        device->setTransform(TransformState::View, matrixLookAtLH({0, 0, -20}, {0, 0, 0}, {0, 1, 0}));
        device->clear(clearFlags::Target | clearFlags::ZBuffer, 0xFF000000u | kBackground, 1.0f, 0);
        ASSERT_TRUE(device->beginScene());
    }

    Matrix4 worldView() const {
        Matrix4 view;
        device->getTransform(TransformState::View, view);
        return view;
    }

    // The normal pass as the group draws it: highlights on, clipped at the water.
    void drawNormalPass(const TrailView& trail) {
        const float water[4] = {0, 1, 0, 0};
        device->setRenderState(renderState::SpecularEnable, 1);
        device->setClipPlane(0, water);
        device->setRenderState(renderState::ClipPlaneEnable, 1);
        drawTrail(*device, trail, worldView(), 1.0f, TrailPass::Normal);
        device->setRenderState(renderState::SpecularEnable, 0);
        device->setRenderState(renderState::ClipPlaneEnable, 0);
    }

    // An unlit red square in the plane z = 0, behind the near half of an upright tube at x.
    void drawMarker(float x, float bottom, float top) {
        device->setRenderState(renderState::Lighting, 0);
        device->setRenderState(renderState::CullMode, Cull::None);
        device->setFvf(test_support::ColouredVertex::kFormat);
        const auto quad = test_support::zQuad(x - 0.3f, bottom, x + 0.3f, top, 0, 0xFF000000u | kMarker);
        device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, quad.data(), sizeof quad[0]);
        device->setRenderState(renderState::Lighting, 1);
    }

    uint32_t at(const test_support::Frame& frame, float x, float y, float z = 0) const {
        int px = 0, py = 0;
        test_support::projectToPixel(*device, x, y, z, px, py);
        return frame.at(px, py);
    }

    test_support::Frame finish() {
        device->endScene();
        return test_support::Frame(*device);
    }
};

// Catches a tube clipped on the wrong side of the water, or not clipped at all.
TEST_F(TrailDrawing, TheTubeStandsOnlyAboveTheWater) {
    Trail trail = uprightTrail(-4);
    drawNormalPass(trail.view());
    const auto frame = finish();
    EXPECT_NE(at(frame, -4, 2), kBackground);
    EXPECT_EQ(at(frame, -4, -2), kBackground);
}

// Catches a mirror image that is not mirrored (it would stand above the water), or one that
// shows the part under the water instead of the part above it.
TEST_F(TrailDrawing, TheMirrorImageHangsBelowTheWaterFromWhatStandsAboveIt) {
    Trail trail = uprightTrail(-4);
    // Only the upper half's mirror image would reach y = -2.5; the lower half is clipped.
    std::vector<Vector3> points;
    for (int y = 1; y <= 3; ++y) points.push_back({4, static_cast<float>(y), 0});
    Trail aboveOnly(points);
    drawTrailReflection(*device, trail.view(), worldView(), 1.0f);
    drawTrailReflection(*device, aboveOnly.view(), worldView(), 1.0f);
    const auto frame = finish();
    EXPECT_NE(at(frame, -4, -2), kBackground);
    EXPECT_EQ(at(frame, -4, 2), kBackground) << "the underwater half is clipped, not mirrored up";
    EXPECT_NE(at(frame, 4, -2), kBackground);
    EXPECT_EQ(at(frame, 4, 2), kBackground);
    EXPECT_EQ(at(frame, 4, -0.5f), kBackground) << "nothing stands between the water and y = 1";
}

// Catches culling inside out: the far half of the tube would then be drawn, behind the
// marker on its axis, and the marker would show through.
TEST_F(TrailDrawing, TheNearSideOfTheTubeAndOfItsImageHidesTheAxis) {
    Trail trail = uprightTrail(0);
    drawMarker(0, 1, 2.5f);
    drawMarker(0, -2.5f, -1);
    drawTrailReflection(*device, trail.view(), worldView(), 1.0f);
    drawNormalPass(trail.view());
    const auto frame = finish();
    EXPECT_NE(at(frame, 0, 1.75f), kMarker);
    EXPECT_NE(at(frame, 0, -1.75f), kMarker);
    EXPECT_EQ(at(frame, 1.5f, 1.75f), kBackground) << "the tube is 0.8 wide";
}

// Catches a shadow culled away (it is seen from above, flattened onto the water).
TEST_F(TrailDrawing, TheShadowDarkensTheWaterUnderTheTrail) {
    device->setTransform(TransformState::View, matrixLookAtLH({0, 20, -20}, {0, 0, 0}, {0, 1, 0}));
    device->setRenderState(renderState::Lighting, 0);
    device->setFvf(test_support::ColouredVertex::kFormat);
    const test_support::ColouredVertex water[4] = {
        {-10, 0, -10, 0xFFC0C0C0u}, {-10, 0, 10, 0xFFC0C0C0u}, {10, 0, 10, 0xFFC0C0C0u}, {10, 0, -10, 0xFFC0C0C0u}};
    device->setRenderState(renderState::CullMode, Cull::None);
    device->drawPrimitiveUp(PrimitiveType::TriangleFan, 2, water, sizeof water[0]);
    device->setRenderState(renderState::Lighting, 1);
    Trail lying({{-3, 3, 0}, {-2, 3, 0}, {-1, 3, 0}, {0, 3, 0}, {1, 3, 0}, {2, 3, 0}});
    drawTrailShadow(*device, lying.view(), 1.0f);
    const auto frame = finish();
    const uint32_t shadow = at(frame, -0.5f, 0.1f, 0);
    const uint32_t open = at(frame, -0.5f, 0.1f, 5);
    EXPECT_EQ(open, 0xC0C0C0u);
    EXPECT_LT(test_support::red(shadow), 0xB0) << std::hex << shadow;
}

// Set, draw, restore: each drawer sharing the blended preset draws under it and leaves the
// baseline behind, also when it has nothing to draw. Catches a drawer that leaves blending on
// for whatever is drawn next.
TEST(SharedStates, EachBlendedDrawerDrawsUnderThePresetAndLeavesTheBaseline) {
    fillTrigTables();
    RecordingDevice device;
    Ground ground;
    ground.init(device);
    RipplePool pool;
    ASSERT_TRUE(pool.init());
    pool.spawnLargeRipple({0, 0, 0});
    Trail trail = uprightTrail(0);
    struct Case {
        const char* name;
        std::function<void()> draw;
        bool draws;
    };
    const Case cases[] = {
        {"the ground", [&] { ground.draw(device, 1.0f); }, true},
        {"the rings", [&] { pool.draw(device); }, true},
        {"a trail's shadow", [&] { drawTrailShadow(device, trail.view(), 1.0f); }, true},
        {"a waiting trail's shadow", [&] { drawTrailShadow(device, trail.view(false), 1.0f); }, false},
        {"a waiting trail",
         [&] {
             drawTrail(device, trail.view(false), Matrix4::identity(), 1.0f, TrailPass::Normal);
             drawTrailReflection(device, trail.view(false), Matrix4::identity(), 1.0f);
         },
         false},
    };
    for (const Case& c : cases) {
        statePresets::restoreBaseline(device);
        device.forgetCalls();
        ASSERT_TRUE(device.beginScene());
        c.draw();
        device.endScene();
        const auto draws = device.callsOf(DeviceCall::Kind::Draw);
        EXPECT_EQ(draws.empty(), !c.draws) << c.name;
        for (const DeviceCall& draw : draws) {
            for (const StateSetting& s : statePresets::kBlendedTextureTimesColour) {
                EXPECT_EQ(draw.state.valueOf(s), s.value) << c.name << ", state " << s.state;
            }
        }
        for (const StateSetting& s : statePresets::kBaseline) {
            EXPECT_EQ(device.captureState().valueOf(s), s.value) << c.name << " leaves state " << s.state;
        }
    }
}

// While closing, only the stretches from the cursor to the end count stand, capped at the
// tail.
TEST_F(TrailDrawing, AClosingTrailStandsFromItsCursor) {
    Trail trail = uprightTrail(0);
    trail.closing = true;
    trail.cursor = 5;  // segment 5 stands at y = 2; its stretch reaches down to y = 1
    trail.endCount = 7;
    drawNormalPass(trail.view());
    const auto frame = finish();
    EXPECT_NE(at(frame, 0, 2.5f), kBackground);
    EXPECT_NE(at(frame, 0, 1.2f), kBackground);
    EXPECT_EQ(at(frame, 0, 0.2f), kBackground) << "stretches behind the cursor are gone";
}

int32_t largeRings(const RipplePool& pool) {
    int32_t n = 0;
    for (const Ripple& r : pool.rings) n += r.active && r.kind == 0;
    return n;
}

// A crossing at the newest stretch starts a large ring in every frame until the trail grows.
TEST(TrailRipples, ACrossingAtTheHeadRingsEveryFrameUntilTheNextSegment) {
    RipplePool pool;
    ASSERT_TRUE(pool.init());
    Trail trail({{0, 1, 0}, {0, 0.5f, 0}, {0, -0.5f, 0}});
    for (int frame = 1; frame <= 3; ++frame) {
        startTrailRipples(trail.view(), pool);
        EXPECT_EQ(largeRings(pool), frame);
    }
    const Ripple& first = pool.rings[0];
    EXPECT_FLOAT_EQ(first.centre.y, 0.0f) << "at the stretch's midpoint";
    ASSERT_TRUE(buildSegment(trail.segments, 3, {0, -1.5f, 0}, kTubeRadius, 60, 100, true));
    ++trail.count;
    startTrailRipples(trail.view(), pool);
    EXPECT_EQ(largeRings(pool), 3) << "the newest stretch is under the water";
}

// While closing, every segment draws one random number whatever its position; a draw
// divisible by 4 where a stretch crosses starts a small ring, and the large ring follows
// the cursor.
TEST(TrailRipples, ClosingDrawsOneRandomNumberPerSegmentAndRingsAtTheCursor) {
    std::vector<Vector3> points;
    for (int i = 0; i < 12; ++i) points.push_back({static_cast<float>(i), i % 2 ? -1.0f : 1.0f, 0});
    Trail trail(points);
    trail.closing = true;
    trail.cursor = 4;
    pieceRandom::seed(6);
    int expectedSmall = 0;
    for (int i = 2; i <= 10; ++i) expectedSmall += pieceRandom::next() % 4 == 0;
    const int next = pieceRandom::next();

    RipplePool pool;
    ASSERT_TRUE(pool.init());
    pieceRandom::seed(6);
    startTrailRipples(trail.view(), pool);
    EXPECT_EQ(pieceRandom::next(), next) << "nine draws for twelve segments";
    int small = 0;
    for (const Ripple& r : pool.rings) small += r.active && r.kind == 1;
    EXPECT_EQ(small, expectedSmall);
    ASSERT_EQ(largeRings(pool), 1);
    const auto large =
        std::find_if(pool.rings.begin(), pool.rings.end(), [](const Ripple& r) { return r.active && r.kind == 0; });
    EXPECT_FLOAT_EQ(large->centre.x, 2.5f) << "between segments 2 and 3, just behind the cursor";
}

}  // namespace
}  // namespace glassfalls
