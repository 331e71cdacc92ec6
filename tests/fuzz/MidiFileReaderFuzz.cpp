// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the MIDI file reader, as they are and behind a valid header, so
// that mutations need not find one first: it must never read outside the bytes, whatever
// lengths they claim, and what it gives must be in the order it sounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/sound/MidiFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static constexpr uint8_t kHeader[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 96};
    std::vector<uint8_t> file(kHeader, kHeader + sizeof kHeader);
    file.insert(file.end(), data, data + size);
    for (const auto& bytes : {std::vector<uint8_t>(data, data + size), file}) {
        const auto notes = glassfalls::platform::readMidiFile(bytes);
        if (!notes) continue;
        for (size_t i = 1; i < notes->size(); ++i) {
            if ((*notes)[i].ms < (*notes)[i - 1].ms || (*notes)[i].key > 127) std::abort();
        }
    }
    return 0;
}
