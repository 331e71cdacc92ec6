// After a performance the trail keeps falling while a cursor takes it away from its start.
#include "app/Application.h"
#include "app/World.h"
#include "performer/Performer.h"

namespace glassfalls {

namespace {
constexpr uint32_t kPerformanceFrameInterval = 100;
}

void Performer::finishClosing() {
    if (world->midiOut) world->midiOut->allNotesOff();
    reset();
    closing = false;
    world->application->frameInterval = kPerformanceFrameInterval;
}

void Performer::closeStep() {
    closingCursor += 3;
    if (segmentCount < 3) segmentCount = 3;
    if (closingCursor < 3) closingCursor = 3;
    if (closingCursor >= segmentCapacity) closingCursor = segmentCapacity - 1;
    radius = 0.8f;

    // Above the water line the end keeps sinking, three segments a frame.
    if (lastSegment().position.y > kWaterLine) {
        for (int i = 0; i < 3; ++i) {
            Vector3 point;
            if (fall(0.5f, lastLevel * 0.1f, false, point)) {
                append(point, static_cast<uint8_t>(lastNote), static_cast<uint8_t>(lastVelocity), true);
            }
        }
    }
    // At the capacity this finishes twice in one frame: the second sees the count of one
    // that the first reset left.
    if (closingCursor >= segmentCapacity - 1 || segmentCount >= segmentCapacity - 1) {
        world->ripples.spawnLargeRipple(segments[static_cast<size_t>(closingCursor)].position);
        finishClosing();
    }
    if (closingCursor >= segmentCount - 1) {
        world->ripples.spawnLargeRipple(segments[static_cast<size_t>(segmentCount - 1)].position);
        finishClosing();
        return;
    }
    if (segmentCount <= 1) return;
    if (!belowZeroRippled && lastSegment().position.y < 0.0f) {
        world->ripples.spawnLargeRipple(lastSegment().position);
        belowZeroRippled = true;
    }
    const TrailSegment& beforeLast = segments[static_cast<size_t>(segmentCount - 2)];
    if (!belowZeroRippled && beforeLast.position.y < 0.0f) {
        world->ripples.spawnLargeRipple(beforeLast.position);
        belowZeroRippled = true;
    }
}

}  // namespace glassfalls
