// SPDX-License-Identifier: GPL-3.0-or-later
#include "trail/TrailDrawing.h"

#include <cmath>

#include "math/PieceRandom.h"
#include "platform/gfx/StateTable.h"
#include "render/SphereMap.h"
#include "render/StatePresets.h"
#include "render/WaterMirror.h"

namespace glassfalls {

using namespace platform::gfx;

namespace {

constexpr float kLowestStretch = -0.8f;  // a stretch with both ends below this is not drawn
constexpr float kShadowHeight = 0.1f;
constexpr uint32_t kShadowColour = 0x44444444u;
constexpr int kRim = TrailSegment::kRimPoints;

// With statePresets::kBlendedTextureTimesColour.
constexpr StateSetting kShadowStates[] = {
    {renderState::ZFunc, Compare::LessEqual},
    {renderState::CullMode, Cull::Clockwise},
};

// What every piece of one pass is drawn with.
struct Pass {
    GraphicsDevice& device;
    const Matrix4& worldView;
    uint32_t colour;
    Cull cullMode;
};

bool below(float y) { return y < 0.0f; }

Vector3 midpoint(const Vector3& a, const Vector3& b) {
    return {(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f, (a.z + b.z) * 0.5f};
}

Vector3 headTip(const TrailSegment& s) { return s.position + s.radius * s.direction; }
Vector3 tailTip(const TrailSegment& s) { return s.position - s.radius * s.direction; }

// A tube vertex, its sphere-map coordinates from its normal as the camera sees it.
TubeVertex tubeVertex(const Pass& pass, const Vector3& p, const Vector3& n) {
    TubeVertex v{p.x, p.y, p.z, n.x, n.y, n.z, pass.colour, 0, 0};
    sphereMapCoordinates(n, pass.worldView, v.u, v.v);
    return v;
}

TubeVertex shadowVertex(const Vector3& p) {
    return {p.x, kShadowHeight, p.z, 0.0f, -1.0f, 0.0f, kShadowColour, 0.0f, 0.0f};
}

void drawStrip(GraphicsDevice& device, const TubeVertex (&strip)[2 * kRim + 2]) {
    device.drawPrimitiveUp(PrimitiveType::TriangleStrip, 2 * kRim, strip, sizeof(TubeVertex));
}

void drawTriangle(GraphicsDevice& device, const TubeVertex (&triangle)[3]) {
    device.drawPrimitiveUp(PrimitiveType::TriangleFan, 1, triangle, sizeof(TubeVertex));
}

void drawTubeStretch(const Pass& pass, const TrailSegment& s) {
    const TrailSegment* p = s.previous;
    if (!p || (s.position.y < kLowestStretch && p->position.y < kLowestStretch)) return;
    TubeVertex strip[2 * kRim + 2];
    for (int i = 0; i <= kRim; ++i) {
        const int r = i % kRim;
        strip[2 * i] = tubeVertex(pass, s.rim[r].position, s.rim[r].normal);
        strip[2 * i + 1] = tubeVertex(pass, p->rim[r].position, p->rim[r].normal);
    }
    pass.device.setRenderState(renderState::CullMode, pass.cullMode);
    drawStrip(pass.device, strip);
}

// A pointed cap of 15 one-triangle fans; the tail's turn the other way round the rim. Both
// tips carry the segment's direction as their normal.
void drawCap(const Pass& pass, const TrailSegment& s, const Vector3& tipPoint, bool head) {
    pass.device.setRenderState(renderState::CullMode, pass.cullMode);
    const TubeVertex tip = tubeVertex(pass, tipPoint, s.direction);
    for (int i = 0; i < kRim; ++i) {
        const RimPoint& a = s.rim[i];
        const RimPoint& b = s.rim[(i + 1) % kRim];
        const TubeVertex first = tubeVertex(pass, a.position, a.normal),
                         second = tubeVertex(pass, b.position, b.normal);
        const TubeVertex triangle[3] = {head ? first : second, head ? second : first, tip};
        drawTriangle(pass.device, triangle);
    }
}

void drawHeadCap(const Pass& pass, const TrailSegment& s) { drawCap(pass, s, headTip(s), true); }
void drawTailCap(const Pass& pass, const TrailSegment& s) { drawCap(pass, s, tailTip(s), false); }

// One rim point under the water cancels the whole stretch's shadow.
void drawStretchShadow(const Pass& pass, const TrailSegment& s) {
    const TrailSegment* p = s.previous;
    if (!p) return;
    for (const RimPoint& point : s.rim) {
        if (below(point.position.y)) return;
    }
    TubeVertex strip[2 * kRim + 2];
    for (int i = 0; i <= kRim; ++i) {
        strip[2 * i] = shadowVertex(s.rim[i % kRim].position);
        strip[2 * i + 1] = shadowVertex(p->rim[i % kRim].position);
    }
    pass.device.setRenderState(renderState::CullMode, pass.cullMode);
    drawStrip(pass.device, strip);
}

// The cap's shadow where the tip and each triangle's first rim point are above the water.
void drawCapShadow(const Pass& pass, const TrailSegment& s, const Vector3& tip, bool head) {
    if (below(tip.y)) return;
    pass.device.setRenderState(renderState::CullMode, pass.cullMode);
    for (int i = 0; i < kRim; ++i) {
        const Vector3& a = s.rim[i].position;
        if (below(a.y)) continue;
        const Vector3& b = s.rim[(i + 1) % kRim].position;
        const TubeVertex triangle[3] = {shadowVertex(head ? a : b), shadowVertex(head ? b : a), shadowVertex(tip)};
        drawTriangle(pass.device, triangle);
    }
}

void drawHeadCapShadow(const Pass& pass, const TrailSegment& s) { drawCapShadow(pass, s, headTip(s), true); }
void drawTailCapShadow(const Pass& pass, const TrailSegment& s) { drawCapShadow(pass, s, tailTip(s), false); }

using PieceDrawer = void (*)(const Pass&, const TrailSegment&);
struct Pieces {
    PieceDrawer stretch, tailCap, headCap;
};

// Performing: every stretch, then the head cap. Closing: the stretches still standing from
// the cursor to the end count, the tail cap just behind the cursor, then the head cap.
void drawRanges(const Pass& pass, const TrailView& trail, const Pieces& pieces) {
    const auto size = static_cast<int32_t>(trail.segments.size());
    const auto at = [&](int32_t i) -> const TrailSegment& { return trail.segments[static_cast<size_t>(i)]; };
    const int32_t n = std::min(trail.segmentCount, size);
    if (!trail.closing) {
        for (int32_t i = 0; i < n; ++i) pieces.stretch(pass, at(i));
    } else {
        const int32_t k = trail.closingCursor;
        const int32_t end = std::min(trail.endCount, size);
        for (int32_t i = std::max(k, 0); i < end; ++i) pieces.stretch(pass, at(i));
        if (k > 0 && k <= size) pieces.tailCap(pass, at(k - 1));
    }
    if (n > 0) pieces.headCap(pass, at(n - 1));
}

// The low eight bits of the truncated grey, as a level below 0.1 would give them.
uint32_t passColour(float level) {
    const auto grey = static_cast<uint32_t>(static_cast<int32_t>((level - 0.1f) * 255.0f)) & 0xFFu;
    return 0xFF000000u | grey * 0x010101u;
}

Material tubeMaterial(float level, TrailPass pass) {
    Material m;
    if (pass == TrailPass::Normal) {
        const float ambient = (level - 0.1f) * 0.9f;
        m.diffuse = {level, level, level, 1};
        m.ambient = {ambient, ambient, ambient, 1};
        m.specular = {level, level, level, 1};
    } else {
        const float half = level * 0.5f;
        const float ambient = std::sin(level * 0.9f);
        m.diffuse = {half, half, half, 1};
        m.ambient = {ambient, ambient, ambient, 1};
        m.specular = {half, half, half, 1};
    }
    m.power = 10.0f;
    return m;
}

}  // namespace

void drawTrail(GraphicsDevice& device, const TrailView& trail, const Matrix4& worldView, float level, TrailPass pass) {
    // The mirror image of a closing trail keeps one brightness.
    if (pass == TrailPass::Mirror && trail.closing) level = 0.45f;
    device.setMaterial(tubeMaterial(level, pass));
    device.setRenderState(renderState::SpecularMaterialSource, MaterialSource::Material);
    device.setFvf(TubeVertex::kFormat);
    if (!trail.started) return;
    const Pass drawing{device, worldView, passColour(level),
                       pass == TrailPass::Normal ? Cull::CounterClockwise : Cull::Clockwise};
    drawRanges(drawing, trail, {drawTubeStretch, drawTailCap, drawHeadCap});
}

void drawTrailReflection(GraphicsDevice& device, const TrailView& trail, const Matrix4& worldView, float level) {
    const Matrix4 view = mirrorInTheWater(device);
    drawTrail(device, trail, worldView, level * 0.3f, TrailPass::Mirror);
    device.setRenderState(renderState::ZWriteEnable, 1);
    device.setRenderState(renderState::AlphaBlendEnable, 0);
    device.setRenderState(renderState::ClipPlaneEnable, 0);
    device.setTransform(TransformState::View, view);
}

void drawTrailShadow(GraphicsDevice& device, const TrailView& trail, float level) {
    device.setTexture(0, nullptr);
    device.setFvf(TubeVertex::kFormat);
    Material m;
    m.diffuse = {0, 0, 0.2f * level, 0.5f * level};
    m.ambient = {0.1f * level, 0.1f * level, 0.1f * level, 0.1f * level};
    m.specular = {0, 0, 0, 0.2f * level};
    m.power = 0;
    device.setMaterial(m);
    device.setRenderState(renderState::SpecularMaterialSource, MaterialSource::Material);
    applyStates(device, statePresets::kBlendedTextureTimesColour);
    applyStates(device, kShadowStates);
    if (trail.started) {
        const Matrix4 unused = Matrix4::identity();
        drawRanges({device, unused, kShadowColour, Cull::Clockwise}, trail,
                   {drawStretchShadow, drawTailCapShadow, drawHeadCapShadow});
    }
    // Also when nothing was drawn: blending left on would reach whatever is drawn next.
    statePresets::restoreBaseline(device);
}

void startTrailRipples(const TrailView& trail, RipplePool& ripples) {
    const int32_t n = std::min(trail.segmentCount, static_cast<int32_t>(trail.segments.size()));
    if (trail.closing && n - 1 > 2) {
        for (int32_t i = 2; i <= n - 2; ++i) {
            const int draw = pieceRandom::next();
            const Vector3& a = trail.segments[static_cast<size_t>(i - 1)].position;
            const Vector3& b = trail.segments[static_cast<size_t>(i - 2)].position;
            if (draw % 4 == 0 && below(a.y) != below(b.y)) ripples.spawnSmallRipple(midpoint(a, b));
        }
    }
    checkWaterCrossing(trail, trail.closing ? trail.closingCursor : trail.segmentCount, ripples);
}

bool checkWaterCrossing(const TrailView& trail, int32_t k, RipplePool& ripples) {
    if (k < 2 || k > static_cast<int32_t>(trail.segments.size())) return false;
    const Vector3& a = trail.segments[static_cast<size_t>(k - 1)].position;
    const Vector3& b = trail.segments[static_cast<size_t>(k - 2)].position;
    if (below(a.y) == below(b.y)) return false;
    ripples.spawnLargeRipple(midpoint(a, b));
    return true;
}

}  // namespace glassfalls
