// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds what other machines send a follower to its readers: a frame's input as the bytes
// came, and the state of a performer, the ripples, the title model and the ground as a
// snapshot carries them, the fuzzer's bytes changing a true snapshot here and there (a
// snapshot is far longer than the fuzzer's inputs). Whatever a reader accepts is then played
// on for a few steps: it must never read or write outside what it holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/FrameInput.h"
#include "performer/Performer.h"
#include "render/Ground.h"
#include "render/TitleMesh.h"
#include "trail/RipplePool.h"

namespace {

using namespace glassfalls;

class Pond final : public Surroundings {
public:
    Pond() { (void)ripples.init(); }
    RipplePool& waterRipples() override { return ripples; }
    MidiOut* midiOutput() override { return nullptr; }
    void setFrameInterval(uint32_t) override {}
    RipplePool ripples;
};

struct Pieces {
    Pieces() { (void)performer.init(&pond, 288, GLASSFALLS_SOURCE_DIR "/examples/music.dat"); }
    Pond pond;
    Performer performer;
    TitleMesh titleMesh;
    Ground ground;

    void save(platform::ByteWriter& out) const {
        performer.saveState(out);
        pond.ripples.saveState(out);
        titleMesh.saveState(out);
        ground.saveState(out);
    }
    bool load(platform::ByteReader& in) {
        performer.loadState(in);
        pond.ripples.loadState(in);
        titleMesh.loadState(in);
        ground.loadState(in);
        return in.ok();
    }
};

// A performer that has grown a trail from the melody and is closing it: every field in use.
std::vector<uint8_t> trueSnapshot() {
    Pieces grown;
    PerformerInput enter;
    enter.enter = true;
    grown.performer.active = true;
    for (int step = 0; step < 400; ++step)
        grown.performer.step(Matrix4::identity(), step == 0 ? enter : PerformerInput{});
    platform::ByteWriter out;
    grown.save(out);
    return out.take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)decodeFrameInput({data, size});

    static const std::vector<uint8_t> base = trueSnapshot();
    // Five bytes a change: where (of the whole snapshot), and the byte put there; a last
    // change to a place past the end cuts the snapshot short there instead.
    std::vector<uint8_t> bytes = base;
    for (size_t i = 0; i + 5 <= size; i += 5) {
        const uint32_t at =
            uint32_t{data[i]} | uint32_t{data[i + 1]} << 8 | uint32_t{data[i + 2]} << 16 | uint32_t{data[i + 3]} << 24;
        if (at % (bytes.size() + 1) == bytes.size()) {
            bytes.resize(data[i + 4] * bytes.size() / 256);
            break;
        }
        bytes[at % bytes.size()] = data[i + 4];
    }
    Pieces pieces;
    platform::ByteReader in(bytes);
    if (!pieces.load(in)) return 0;
    for (int step = 0; step < 8; ++step) {
        pieces.performer.step(Matrix4::identity(), PerformerInput{});
        pieces.pond.ripples.update();
        pieces.titleMesh.step();
    }
    return 0;
}
