// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ListenCheck.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include "app/Backends.h"
#include "app/InstrumentSource.h"
#include "performer/Hearing.h"
#include "performer/Performer.h"
#include "platform/os/EventSource.h"
#include "platform/sound/WaveCapture.h"

namespace glassfalls {

namespace {

volatile std::sig_atomic_t stopping = 0;

void stop(int) { stopping = 1; }

// Without a window there is nothing to wake for: waiting is sleeping.
class Sleep final : public platform::EventSource {
public:
    void poll(std::deque<platform::Message>&) override {}
    void wait(uint32_t timeoutMs, std::span<const int>) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
    }
};

std::string levelBar(int32_t peak) {
    constexpr int kWidth = 20;
    const int filled = static_cast<int>(static_cast<int64_t>(peak) * kWidth / 32767);
    return "[" + std::string(static_cast<size_t>(filled), '#') +
           std::string(static_cast<size_t>(kWidth - filled), ' ') + "]";
}

// "C#4" for key 61.
std::string keyName(int key) {
    static constexpr const char* kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    return kNames[key % 12] + std::to_string(key / 12 - 1);
}

// An instrument, a line a frame: what is played, the note the performers hear and how loud;
// a file to its end, a played instrument until Ctrl-C.
int listenToInstrument(const StartOptions& options, platform::Clock& clock) {
    auto picked = pickInstrument(options, clock);
    if (!picked) {
        std::fprintf(stderr, "glassfalls: %s\n", picked.error().c_str());
        return 1;
    }
    InstrumentSource& instrument = *picked->source;
    platform::NullKeyboard noKeys;
    platform::RemoteKeys keys(noKeys);
    std::unique_ptr<OutsideSource> control;
    if (picked->playedOverOsc) {
        auto opened = openShowControl(
            *options.oscPort, keys,
            [] {
                return ShowStatus{"title", 0, 0};
            },
            picked->playedOverOsc);
        if (!opened) {
            std::fprintf(stderr, "glassfalls: %s\n", opened.error().c_str());
            return 1;
        }
        control = std::move(*opened);
    }
    Sleep events;
    uint32_t next = clock.now();
    FrameInput unused;
    while (!stopping) {
        clock.waitUntil(next, events, {});
        if (platform::ticksUntil(clock.now(), next) > 0) continue;
        const uint32_t at = next;
        next += platform::kBlockMs;
        if (control) control->poll(at, unused);
        const std::optional<PlayedNote> played = instrument.frame(at);
        if (played) {
            const int32_t heard = scaleNoteForKey(played->key);
            std::printf("%7u ms  %-4s heard as %-3s level %.2f  a performance would start\n", at,
                        keyName(played->key).c_str(), noteName(heard), levelForVelocity(played->velocity));
        } else {
            std::printf("%7u ms  silence\n", at);
        }
        if (instrument.finished()) break;
    }
    return 0;
}

}  // namespace

int runListenCheck(const StartOptions& options, platform::Clock& clock) {
    std::signal(SIGINT, stop);
    std::signal(SIGTERM, stop);
    if (!options.instrument.empty()) return listenToInstrument(options, clock);
    auto source = pickCapture(options, clock);
    if (!source) {
        std::fprintf(stderr, "glassfalls: %s\n", source.error().c_str());
        return 1;
    }
    const platform::CaptureSource& watched = **source;
    platform::WaveCapture capture;
    capture.open(std::move(*source));
    Hearing hearing;
    if (!hearing.init()) return 1;

    Sleep events;
    uint32_t next = clock.now() + platform::kBlockMs;
    while (!stopping && !watched.ended()) {
        clock.waitUntil(next, events, {});
        if (platform::ticksUntil(clock.now(), next) > 0) continue;
        next += platform::kBlockMs;
        if (platform::MicrophoneBlock block; capture.collect(clock.now(), block)) hearing.hear(block);
        const HeardBand heard = loudestBand(hearing.levels().data());
        const bool note = isNote(heard);
        const int32_t played = note ? noteForBand(heard.band).note : Performer::kNoNote;
        const int32_t peak = blockPeak(hearing.block());
        std::printf("\r%s level %.2f  %-7s  %s", levelBar(peak).c_str(), microphoneLevel(hearing.block(), played),
                    noteName(played), note ? "a performance would start" : "no performance would start");
        std::fflush(stdout);
    }
    std::printf("\n");
    return 0;
}

}  // namespace glassfalls
