// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/datagen/Melody.h"

#include <vector>

namespace datagen {

namespace {

// Pitch values are bands of the performers' note table, not MIDI notes: each of these falls
// well inside the band of its note, so small changes to the band edges never change the tune.
struct Band {
    const char* name;
    int value;
};
constexpr Band C4{"C", 64}, D4{"D", 72}, E4{"E", 80}, F4{"F", 90}, G4{"G", 100};
constexpr Band Rest{"rest", 255};

struct Note {
    Band band;
    int level;     // 0 … 255
    int duration;  // performer steps (one per frame, about 100 ms)
};

}  // namespace

std::string makeDemoMelody() {
    // "Ode to Joy" (Beethoven, 1824; public domain), first three phrases in C major.
    // Levels swell toward each phrase's peak; phrase ends are held, and a rest breathes
    // between phrases.
    const std::vector<Note> tune = {
        {E4, 170, 2}, {E4, 180, 2}, {F4, 200, 2}, {G4, 230, 2}, {G4, 240, 2}, {F4, 210, 2}, {E4, 190, 2},
        {D4, 170, 2}, {C4, 160, 2}, {C4, 170, 2}, {D4, 190, 2}, {E4, 210, 2}, {E4, 230, 3}, {D4, 180, 1},
        {D4, 200, 4}, {Rest, 0, 2}, {E4, 150, 2}, {E4, 160, 2}, {F4, 180, 2}, {G4, 210, 2}, {G4, 220, 2},
        {F4, 190, 2}, {E4, 170, 2}, {D4, 150, 2}, {C4, 140, 2}, {C4, 150, 2}, {D4, 170, 2}, {E4, 190, 2},
        {D4, 200, 3}, {C4, 150, 1}, {C4, 130, 4}, {Rest, 0, 2}, {D4, 180, 2}, {D4, 190, 2}, {E4, 210, 2},
        {C4, 170, 2}, {D4, 190, 2}, {E4, 220, 1}, {F4, 240, 1}, {E4, 220, 2}, {C4, 170, 2}, {D4, 190, 2},
        {E4, 220, 1}, {F4, 250, 1}, {E4, 230, 2}, {D4, 190, 2}, {C4, 160, 2}, {D4, 180, 2}, {G4, 255, 4},
    };
    std::string out;
    int bar = 1, step = 0;
    for (const Note& n : tune) {
        out += std::string(n.band.name) + " (bar " + std::to_string(bar) + ")\n";
        out += std::to_string(n.band.value) + "\n";
        out += std::to_string(n.level) + "\n";
        out += std::to_string(n.duration) + "\n";
        step += n.duration;
        bar = 1 + step / 8;
    }
    return out;
}

}  // namespace datagen
