// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/alsa/AlsaSequencer.h"
#include "platform/alsa/SequencerClient.h"

namespace glassfalls::platform {

namespace {

void quiet(const char*, int, const char*, int, const char*, ...) {}

class AlsaSequencerPort final : public MidiPort {
public:
    AlsaSequencerPort(snd_seq_t* seq, int port, std::string destination)
        : seq_(seq), port_(port), destination_(std::move(destination)) {}
    ~AlsaSequencerPort() override {
        snd_seq_drain_output(seq_);
        snd_seq_close(seq_);
    }
    AlsaSequencerPort(const AlsaSequencerPort&) = delete;
    AlsaSequencerPort& operator=(const AlsaSequencerPort&) = delete;

    void shortMessage(uint32_t message) override {
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        const auto channel = static_cast<unsigned char>(message & 0x0F);
        const auto data1 = static_cast<unsigned char>((message >> 8) & 0x7F);
        const auto data2 = static_cast<unsigned char>((message >> 16) & 0x7F);
        switch (message & 0xF0) {
            case 0x80: snd_seq_ev_set_noteoff(&event, channel, data1, data2); break;
            case 0x90: snd_seq_ev_set_noteon(&event, channel, data1, data2); break;
            case 0xB0: snd_seq_ev_set_controller(&event, channel, data1, data2); break;
            case 0xC0: snd_seq_ev_set_pgmchange(&event, channel, data1); break;
            default: return;
        }
        snd_seq_ev_set_source(&event, static_cast<unsigned char>(port_));
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        snd_seq_event_output_direct(seq_, &event);
    }

    std::string name() const override { return "ALSA port " + destination_; }

    // The port went away with its program or its device: the connection to it is gone.
    bool lost() const override {
        const auto receiver = sequencer::addressOf(seq_, destination_);
        if (!receiver) return true;
        const snd_seq_addr_t sender{static_cast<unsigned char>(snd_seq_client_id(seq_)),
                                    static_cast<unsigned char>(port_)};
        return !sequencer::connected(seq_, sender, *receiver);
    }

private:
    snd_seq_t* seq_;
    int port_;
    std::string destination_;
};

}  // namespace

void quietenAlsaDiagnostics() { snd_lib_error_set_handler(quiet); }

Expected<std::unique_ptr<MidiPort>> openAlsaPort(const std::string& destination) {
    // A receiver that stops reading must never hold up a frame: its notes are dropped.
    const auto opened = sequencer::openClient(SND_SEQ_OPEN_OUTPUT);
    if (!opened) return failure(opened.error());
    snd_seq_t* seq = *opened;
    const int port =
        snd_seq_create_simple_port(seq, "glassFalls out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                   SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    const auto address = sequencer::addressOf(seq, destination);
    if (port < 0 || !address) {
        snd_seq_close(seq);
        return failure("no ALSA MIDI port called " + destination + " (see --list-devices)");
    }
    if (const int result = snd_seq_connect_to(seq, port, address->client, address->port); result < 0) {
        snd_seq_close(seq);
        return failure("cannot connect to the ALSA MIDI port " + destination + ": " + snd_strerror(result));
    }
    return std::make_unique<AlsaSequencerPort>(seq, port, destination);
}

std::vector<std::string> listAlsaPorts() {
    return sequencer::listPorts(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
}

}  // namespace glassfalls::platform
