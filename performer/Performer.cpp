// SPDX-License-Identifier: GPL-3.0-or-later
#include "performer/Performer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

#include "math/Angles.h"
#include "performer/Hearing.h"
#include "performer/MidiOut.h"
#include "trail/RipplePool.h"

namespace glassfalls {

namespace {

constexpr int kFirstListenedBin = 60;
constexpr int kLastListenedBin = 139;
constexpr int32_t kSilenceStrength = 80;  // a best level this far below the reference is silence
constexpr int32_t kSilentUpdatesToEnd = 3;

}  // namespace

HeardBand loudestBand(const float* levels) {
    HeardBand heard;
    for (int bin = kFirstListenedBin; bin <= kLastListenedBin; ++bin) {
        const auto value = static_cast<int32_t>(levels[bin]);
        if (value < heard.strength) heard = {bin, value};
    }
    return heard;
}

bool isNote(const HeardBand& heard) { return heard.band != -1 && heard.strength < kSilenceStrength; }

int32_t blockPeak(const platform::MicrophoneBlock& block) {
    // The sample area the block was first measured in ran on in silence past the block's 800
    // samples, so a block below zero throughout peaks at zero.
    return std::max<int32_t>(0, *std::max_element(block.begin(), block.end()));
}

float microphoneLevel(const platform::MicrophoneBlock& block, int32_t note) {
    const int32_t k = (note - 59) * blockPeak(block) * 2;
    const float level = static_cast<float>(k) * 3.9999999e-05f;
    if (level > 1.0f) return 1.0f;
    return level < 0.45f ? 0.45f : level;
}

namespace {

// The scale the bands pick from, with the highest band of each note and the direction it
// bends a trail. The seventh direction is 275 degrees, not 270.
struct ScaleNote {
    int32_t highestBand;
    BandNote played;
    const char* name;
};
constexpr ScaleNote kScale[] = {
    {68, {60, 0.0f, 0.0f}, "C4"},
    {75, {62, 45.0f, 0.785398006439209f}, "D4"},
    {84, {64, 90.0f, 1.570796012878418f}, "E4"},
    {94, {65, 135.0f, 2.356194019317627f}, "F4"},
    {102, {67, 180.0f, 3.141592025756836f}, "G4"},
    {116, {69, 225.0f, 3.926990032196045f}, "A4"},
    {122, {71, 275.0f, 4.799654483795166f}, "B4"},
    {INT32_MAX, {72, 315.0f, 5.497786045074463f}, "C5"},
};

}  // namespace

BandNote noteForBand(int32_t band) {
    for (const ScaleNote& n : kScale) {
        if (band <= n.highestBand) return n.played;
    }
    return kScale[std::size(kScale) - 1].played;
}

BandNote noteOfScale(int32_t note) {
    for (const ScaleNote& n : kScale) {
        if (n.played.note == note) return n.played;
    }
    return kScale[std::size(kScale) - 1].played;
}

const char* noteName(int32_t note) {
    for (const ScaleNote& n : kScale) {
        if (n.played.note == note) return n.name;
    }
    return "silence";
}

platform::Expected<void> Performer::init(Surroundings* around, int32_t capacity, const std::string& scoreFile) {
    contourTracker.open();
    surroundings = around;
    segmentCapacity = capacity;
    try {
        // Never fewer records than the reset clears.
        segments.assign(static_cast<size_t>(std::max(capacity, kClearedSegments)), TrailSegment{});
    } catch (const std::bad_alloc&) {
        return platform::failure("no memory for a trail of " + std::to_string(capacity) + " segments");
    }
    reset();
    // Without a melody the performer listens.
    auto melody = loadScore(scoreFile);
    score = melody ? std::move(*melody) : Score{};
    return {};
}

void Performer::reset() {
    started = false;
    silentSteps = 0;
    radius = kTubeRadius;
    segmentCount = 0;
    scoreIndex = 0;
    scoreStep = 0;
    lastNote = kNoNote;
    contourTracker.reset();
    for (int i = 0; i < kClearedSegments; ++i) clearSegment(segments[static_cast<size_t>(i)]);
    buildFirstSegment(segments[0], {0, 0, 0}, kTubeRadius);
    segmentCount = 1;
}

void Performer::step(const Matrix4& parent, const PerformerInput& input) {
    // Translation before rotation: the eight performers, all at (12, 0, 0) in their own
    // turned frames, stand on a circle around the centre.
    const Matrix4 rotation = orientation.toMatrix();
    const Matrix4 translation = Matrix4::translation(position.x, position.y, position.z);
    placement = parent.multiply(translation).multiply(rotation);
    previousPosition = position;
    previousOrientation = orientation;
    // Rings this performer starts are given in its own frame.
    RipplePool& ripples = surroundings->waterRipples();
    ripples.placement = placement;
    if (closing) {
        closeStep();
    } else if (active) {
        update(input);
    }
    // The mirror image is drawn before the tube, and so with the end count the tube had
    // last frame: a closing trail's reflection keeps one frame behind it.
    mirrorEndCount = endCount;
    if (started && closing) endCount = segmentCount;
    startTrailRipples(trailView(), ripples);
}

bool Performer::append(const Vector3& point, uint8_t note, uint8_t velocity, bool force) {
    if (segmentCount >= segmentCapacity) return false;
    if (!buildSegment(segments, segmentCount, point, radius, note, velocity, force)) return false;
    MidiOut* midi = surroundings->midiOutput();
    if (score.present && segmentCount > 0 && midi) {
        const TrailSegment& laid = segments[static_cast<size_t>(segmentCount)];
        const TrailSegment& before = segments[static_cast<size_t>(segmentCount - 1)];
        midi->noteChange(laid.note, laid.velocity, before.note, before.velocity);
    }
    ++segmentCount;
    return true;
}

void Performer::startPerformance() {
    reset();
    started = true;
    surroundings->waterRipples().spawnLargeRipple(segments[0].position);
}

void Performer::endPerformance() {
    endCount = segmentCount;
    closingCursor = 0;
    closing = true;
    belowZeroRippled = lastSegment().position.y < kWaterLine;
    surroundings->waterRipples().spawnLargeRipple(segments[0].position);
    surroundings->setFrameInterval(kClosingFrameInterval);
}

float Performer::levelOf(int32_t note, const PerformerInput& input) const {
    if (score.present) {
        // After the last entry the melody is over; its last loudness still shapes the
        // growth that follows.
        if (score.count == 0) return 0.0f;
        const int32_t entry = std::min(scoreIndex, score.count - 1);
        return static_cast<float>(score.entries[static_cast<size_t>(entry)].level) * 0.003921569f;
    }
    if (input.fromInstrument) return input.played ? levelForVelocity(input.played->velocity) : 0.45f;
    static constexpr platform::MicrophoneBlock kSilence{};
    return microphoneLevel(input.heard ? input.heard->block() : kSilence, note);
}

void Performer::update(const PerformerInput& input) {
    if (started && (silentSteps >= kSilentUpdatesToEnd || segmentCount >= segmentCapacity / 3)) {
        endPerformance();
        return;
    }

    Vector3 heading = normalise(lastSegment().rim[0].position - lastSegment().position);
    bool detected = true;
    float bendDegrees = 0.0f;
    HeardBand heard;
    if (score.present) {
        if (scoreIndex < score.count) {
            const ScoreEntry& entry = score.entries[static_cast<size_t>(scoreIndex)];
            heard = {entry.note == ScoreEntry::kRest ? -1 : entry.note, 0};
            if (++scoreStep >= entry.duration) {
                ++scoreIndex;
                scoreStep = 0;
            }
        }
    } else if (!input.fromInstrument && input.heard) {
        heard = loudestBand(input.heard->levels().data());
    }
    std::optional<BandNote> chosen;
    if (isNote(heard)) chosen = noteForBand(heard.band);
    if (!score.present && input.fromInstrument && input.played)
        chosen = noteOfScale(scaleNoteForKey(input.played->key));

    int32_t note = kNoNote;
    if (chosen) {
        const BandNote played = *chosen;
        note = played.note;
        bendDegrees = played.bendDegrees;
        heading = heading.rotate(bendRotation(lastSegment().direction, played.bendRadians));
        contourTracker.pushNote(static_cast<uint8_t>(note));
        if (!started) {
            startPerformance();
            heading = {};
        }
        silentSteps = 0;
    } else {
        heading = {};
        detected = false;
        ++silentSteps;
        contourTracker.pushNote(ContourTracker::kRest);
    }
    lastNote = note;

    if (input.enter && !started) startPerformance();

    const float level = levelOf(note, input);
    int32_t velocity = static_cast<int32_t>(level * 127.0f);
    if (velocity < 64) velocity = 64;
    if (!started) return;

    const auto noteByte = static_cast<uint8_t>(note);
    const auto velocityByte = static_cast<uint8_t>(velocity);
    if (steerAlongContour(detected, lastSegment().direction, lastSegment().position, level, noteByte, velocityByte)) {
        return;
    }
    growFreely(detected, heading, bendDegrees, level, noteByte, velocityByte);
}

bool Performer::steerAlongContour(bool detected, const Vector3& along, const Vector3& from, float level, uint8_t note,
                                  uint8_t velocity) {
    float amplitude = std::sin(level * 1.570796f) * 0.8f;
    if (amplitude < 0.1f || !detected) amplitude = 0.1f;
    const int32_t contour = contourTracker.contour();
    if (contour == 7) return false;
    const float length = static_cast<float>(contourTracker.rhythmDivisor()) * amplitude * 0.1f;
    // Up for a falling line or three high notes, down for three low ones; toward a side
    // for the figures that go out and back, rise or fall.
    static constexpr Vector3 kTargets[] = {{0, 1, 0}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, -1}};
    if (contour <= 2 && !detected) return false;
    if (contour < 1 || contour > 6) return false;
    return steer(kTargets[contour - 1], along, from, length, note, velocity);
}

void Performer::growFreely(bool detected, Vector3 heading, float bendDegrees, float level, uint8_t note,
                           uint8_t velocity) {
    radius = kTubeRadius;
    lastLevel = level;
    lastVelocity = velocity;
    float a = 0.4f;
    if (!detected) {
        a = 0.5f;
        Vector3 point;
        if (fall(0.5f, level * 0.1f, true, point) && append(point, note, velocity, false)) return;
    }
    Vector3 rising;
    const bool rises = rise(a, level * 0.1f, rising);

    // No segment is laid between the attempts, so the last segment stays the same.
    const TrailSegment& last = lastSegment();
    const Vector3 along = last.direction;
    const Vector3 from = last.position;
    const Vector3 across = last.rim[0].position - last.position;
    float theta = bendDegrees;
    Vector3 candidate;
    for (int attempt = 1; attempt <= 72; ++attempt) {
        Vector3 step = a * normalise(level * (0.1f * heading) + a * along);
        if (rises) step = 0.5f * (step + rising);
        candidate = from + step;
        if (append(candidate, note, velocity, false)) return;
        if (attempt == 72) break;
        theta += 5.0f;
        if (theta > 360.0f) theta -= 360.0f;
        heading = across.rotate(bendRotation(along, theta * kDegreesToRadians));
    }
    // The last heading is laid even if it runs into the trail. Only a full trail refuses
    // that too, and then the count stays at the capacity rather than passing the array's end.
    append(candidate, note, velocity, true);
}

namespace {

void saveSegment(platform::ByteWriter& out, const TrailSegment& segment, const TrailSegment* first) {
    out.u8(segment.note);
    out.u8(segment.velocity);
    out.i32(segment.previous ? static_cast<int32_t>(segment.previous - first) : -1);
    out.f32(segment.radius);
    out.floats(segment.position);
    out.floats(segment.direction);
    for (const RimPoint& point : segment.rim) {
        out.floats(point.position);
        out.floats(point.normal);
    }
    out.floats(segment.bendAxis);
}

void loadSegment(platform::ByteReader& in, TrailSegment& segment, std::span<TrailSegment> all) {
    in.u8(segment.note);
    in.u8(segment.velocity);
    int32_t previous = -1;
    in.i32(previous);
    if (previous < -1 || previous >= static_cast<int32_t>(all.size())) in.fail("has a segment after one not there");
    segment.previous = previous >= 0 && in.ok() ? &all[static_cast<size_t>(previous)] : nullptr;
    in.f32(segment.radius);
    in.floats(segment.position);
    in.floats(segment.direction);
    for (RimPoint& point : segment.rim) {
        in.floats(point.position);
        in.floats(point.normal);
    }
    in.floats(segment.bendAxis);
}

}  // namespace

void Performer::saveState(platform::ByteWriter& out) const {
    savePlace(out);
    out.u32(static_cast<uint32_t>(segments.size()));
    for (const TrailSegment& segment : segments) saveSegment(out, segment, segments.data());
    contourTracker.saveState(out);
    for (int32_t value : {segmentCount, endCount, mirrorEndCount, silentSteps, closingCursor, scoreIndex, scoreStep,
                          lastNote, lastVelocity})
        out.i32(value);
    out.floats(placement);
    out.f32(radius);
    out.f32(lastLevel);
    for (bool flag : {active, started, closing, belowZeroRippled}) out.boolean(flag);
}

void Performer::loadState(platform::ByteReader& in) {
    loadPlace(in);
    uint32_t count = 0;
    in.u32(count);
    // The trail's length is this machine's own, made from the same data as the leader's.
    if (count != segments.size())
        return in.fail("has a trail of " + std::to_string(count) + " segments, not " + std::to_string(segments.size()));
    for (TrailSegment& segment : segments) loadSegment(in, segment, segments);
    contourTracker.loadState(in);
    for (int32_t* value : {&segmentCount, &endCount, &mirrorEndCount, &silentSteps, &closingCursor, &scoreIndex,
                           &scoreStep, &lastNote, &lastVelocity})
        in.i32(*value);
    in.floats(placement);
    in.f32(radius);
    in.f32(lastLevel);
    for (bool* flag : {&active, &started, &closing, &belowZeroRippled}) in.boolean(*flag);
    const auto size = static_cast<int32_t>(segments.size());
    auto within = [](int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; };
    if (!within(segmentCount, 1, segmentCapacity) || !within(endCount, 0, size) || !within(mirrorEndCount, 0, size) ||
        !within(closingCursor, 0, size) || !within(scoreIndex, 0, std::max(score.count, 0)) ||
        !within(lastNote, 0, kNoNote) || !within(lastVelocity, 0, 255) || silentSteps < 0 || scoreStep < 0)
        in.fail("has a performer out of range");
}

}  // namespace glassfalls
