// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "performer/Hearing.h"
#include "performer/Instrument.h"
#include "performer/Surroundings.h"
#include "platform/sound/CaptureSource.h"
#include "render/Movable.h"
#include "trail/ContourTracker.h"
#include "trail/Score.h"
#include "trail/TrailDrawing.h"
#include "trail/TrailSegment.h"

namespace glassfalls {

// What a performer heard in one update: the loudest bin of the voice's range and how far
// below the reference it lies (smaller is louder).
struct HeardBand {
    int32_t band = -1;  // -1: none
    int32_t strength = 9999999;
};
// The first of the loudest bins 60 … 139 of a spectrum (levels as the analyser gives them).
HeardBand loudestBand(const float* levels);
// Whether what was heard is a note: a band, and louder than 80 below the reference.
bool isNote(const HeardBand& heard);

// The note of the C major scale a band selects, and the direction around the tube it bends.
struct BandNote {
    int32_t note;
    float bendDegrees;
    float bendRadians;  // as stored, not converted
};
BandNote noteForBand(int32_t band);
// The scale's note `note` (60, 62, 64, 65, 67, 69, 71 or 72) with its bend; C5's for any other.
BandNote noteOfScale(int32_t note);
// The name of a note of that scale ("C4" … "C5"); "silence" for any other.
const char* noteName(int32_t note);

// The highest sample of a microphone block, 0 … 32767.
int32_t blockPeak(const platform::MicrophoneBlock& block);
// How loud a block is as a performer measures it, 0.45 … 1, for the note it heard (255: none).
float microphoneLevel(const platform::MicrophoneBlock& block, int32_t note);

// What a frame hands every performer of its input; the rest (MIDI, the rings, the pace) it
// reaches through its Surroundings.
struct PerformerInput {
    bool enter = false;        // Enter is down, or was pressed since the frame before
    Hearing* heard = nullptr;  // the frame's microphone block and its spectrum; null: silence
    // An instrument plays in place of the microphone: `played` is its note this frame, none
    // for silence.
    bool fromInstrument = false;
    std::optional<PlayedNote> played;
};

// One of the eight figures that grow glass trails from what they hear. Everything follows
// from the same inputs in the same single-precision order, so the same voice always grows
// the same trail.
class Performer final : public Movable {
public:
    static constexpr int kClearedSegments = 288;
    static constexpr float kWaterLine = -0.8f;
    static constexpr uint8_t kNoNote = 255;

    Performer() = default;
    // Segments point at their neighbours in this performer's own array.
    Performer(const Performer&) = delete;
    Performer& operator=(const Performer&) = delete;

    // `scoreFile`: the melody to follow; a missing file leaves the performer listening.
    platform::Expected<void> init(Surroundings* surroundings, int32_t capacity, const std::string& scoreFile);
    void reset();

    // This frame's update or closing step, standing under `parent`, from the frame's input:
    // where it stands is kept for drawing, the end counts of the closing trail move on, and
    // the rings its trail starts this frame go into the water.
    void step(const Matrix4& parent, const PerformerInput& input);

    // One frame's listening and growth while the performer is active and not closing.
    void update(const PerformerInput& input = {});
    // One frame of the closing sequence.
    void closeStep();
    // Lays the next segment at `point`; false when refused (see buildSegment) or full.
    bool append(const Vector3& point, uint8_t note, uint8_t velocity, bool force);

    // The growth rules, each from the last laid segment.
    bool steer(const Vector3& target, const Vector3& current, const Vector3& from, float length, uint8_t note,
               uint8_t velocity);
    bool fall(float forward, float bend, bool refuseBelowWaterLine, Vector3& point) const;
    bool rise(float forward, float bend, Vector3& direction) const;

    // Everything that changes as it performs, for another machine to go on from: where it
    // stands, its whole trail, what it remembers of the notes and where it is in its melody.
    void saveState(platform::ByteWriter& out) const;
    void loadState(platform::ByteReader& in);

    const TrailSegment& lastSegment() const { return segments[static_cast<size_t>(segmentCount - 1)]; }
    // The trail as the tube and its shadow draw it, and as its reflection does.
    TrailView trailView() const { return {segments, segmentCount, started, closing, closingCursor, endCount}; }
    TrailView mirroredTrailView() const {
        return {segments, segmentCount, started, closing, closingCursor, mirrorEndCount};
    }

    Surroundings* surroundings = nullptr;  // not owned
    std::vector<TrailSegment> segments;
    ContourTracker contourTracker;
    int32_t segmentCapacity = 256;
    int32_t segmentCount = 0;
    int32_t endCount = 0;        // while closing, the segments the tube is drawn up to
    int32_t mirrorEndCount = 0;  // the end count of the frame before, for the reflection
    // The world transform of the last step, where the trail is drawn (Movable::place, which
    // turns before it moves, is not this performer's placement).
    Matrix4 placement = Matrix4::identity();
    int32_t silentSteps = 0;
    float radius = 0;
    bool active = false;
    bool started = false;
    bool closing = false;
    int32_t closingCursor = 0;
    Score score;
    int32_t scoreIndex = 0;
    int32_t scoreStep = 0;
    int32_t lastNote = kNoNote;
    float lastLevel = 0;
    int32_t lastVelocity = 0;
    bool belowZeroRippled = false;

private:
    void startPerformance();
    void endPerformance();
    void finishClosing();
    // The loudness of this update: from the score entry, or from the block's peak.
    float levelOf(int32_t note, const PerformerInput& input) const;
    bool steerAlongContour(bool detected, const Vector3& along, const Vector3& from, float level, uint8_t note,
                           uint8_t velocity);
    void growFreely(bool detected, Vector3 heading, float bendDegrees, float level, uint8_t note, uint8_t velocity);
};

}  // namespace glassfalls
