// SPDX-License-Identifier: GPL-3.0-or-later
// After a performance the trail keeps falling while a cursor takes it away from its start.
#include "performer/MidiOut.h"
#include "performer/Performer.h"
#include "trail/RipplePool.h"

namespace glassfalls {

void Performer::finishClosing() {
    if (MidiOut* midi = surroundings->midiOutput()) midi->allNotesOff();
    reset();
    closing = false;
    surroundings->setFrameInterval(kPerformanceFrameInterval);
}

void Performer::closeStep() {
    closingCursor += 3;
    if (segmentCount < 3) segmentCount = 3;
    if (closingCursor < 3) closingCursor = 3;
    if (closingCursor >= segmentCapacity) closingCursor = segmentCapacity - 1;
    radius = kTubeRadius;

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
    RipplePool& ripples = surroundings->waterRipples();
    if (closingCursor >= segmentCapacity - 1 || segmentCount >= segmentCapacity - 1) {
        ripples.spawnLargeRipple(segments[static_cast<size_t>(closingCursor)].position);
        finishClosing();
    }
    if (closingCursor >= segmentCount - 1) {
        ripples.spawnLargeRipple(segments[static_cast<size_t>(segmentCount - 1)].position);
        finishClosing();
        return;
    }
    if (segmentCount <= 1) return;
    if (!belowZeroRippled && lastSegment().position.y < 0.0f) {
        ripples.spawnLargeRipple(lastSegment().position);
        belowZeroRippled = true;
    }
    const TrailSegment& beforeLast = segments[static_cast<size_t>(segmentCount - 2)];
    if (!belowZeroRippled && beforeLast.position.y < 0.0f) {
        ripples.spawnLargeRipple(beforeLast.position);
        belowZeroRippled = true;
    }
}

}  // namespace glassfalls
