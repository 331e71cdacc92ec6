#pragma once

namespace glassfalls {

// The MIDI output the performers sound their notes on. Until the backends land (issue 8)
// it opens and closes without sounding anything.
class MidiOut {
public:
    static constexpr int kMidiMapper = -1;

    bool open(int deviceId) {
        (void)deviceId;
        open_ = true;
        return true;
    }
    void close() { open_ = false; }
    bool isOpen() const { return open_; }

private:
    bool open_ = false;
};

}  // namespace glassfalls
