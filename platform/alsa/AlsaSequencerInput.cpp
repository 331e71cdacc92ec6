// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>
#include <utility>

#include "platform/alsa/AlsaSequencer.h"
#include "platform/alsa/SequencerClient.h"

namespace glassfalls::platform {

namespace {

class AlsaSequencerInput final : public MidiInput {
public:
    AlsaSequencerInput(snd_seq_t* seq, snd_seq_addr_t own, snd_seq_addr_t source, std::string name)
        : seq_(seq), own_(own), source_(source), name_(std::move(name)) {}
    ~AlsaSequencerInput() override { snd_seq_close(seq_); }
    AlsaSequencerInput(const AlsaSequencerInput&) = delete;
    AlsaSequencerInput& operator=(const AlsaSequencerInput&) = delete;

    void read(std::vector<MidiKey>& keys) override {
        bool overran = false;
        for (;;) {
            snd_seq_event_t* event = nullptr;
            const int result = snd_seq_event_input(seq_, &event);
            // An overrun (the piece held up while a player kept playing) empties the queue
            // once; what comes after it is read on.
            if (result == -ENOSPC && !std::exchange(overran, true)) continue;
            if (result < 0 || !event) return;
            if (event->type != SND_SEQ_EVENT_NOTEON && event->type != SND_SEQ_EVENT_NOTEOFF) continue;
            const snd_seq_ev_note_t& note = event->data.note;
            const auto velocity = event->type == SND_SEQ_EVENT_NOTEON ? note.velocity & 0x7F : 0;
            keys.push_back({static_cast<uint8_t>(note.channel & 0x0F), static_cast<uint8_t>(note.note & 0x7F),
                            static_cast<uint8_t>(velocity)});
        }
    }

    std::string name() const override { return "ALSA port " + name_; }

    // The port went away with its program or its device: the connection from it is gone.
    bool lost() const override { return !sequencer::connected(seq_, source_, own_); }

private:
    snd_seq_t* seq_;
    snd_seq_addr_t own_;
    snd_seq_addr_t source_;
    std::string name_;
};

}  // namespace

Expected<std::unique_ptr<MidiInput>> openAlsaInput(const std::string& source) {
    const auto opened = sequencer::openClient(SND_SEQ_OPEN_INPUT);
    if (!opened) return failure(opened.error());
    snd_seq_t* seq = *opened;
    const int port =
        snd_seq_create_simple_port(seq, "glassFalls in", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                   SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    const auto address = sequencer::addressOf(seq, source);
    if (port < 0 || !address) {
        snd_seq_close(seq);
        std::string ports;
        for (const std::string& there : listAlsaInputs()) ports += (ports.empty() ? "" : ", ") + there;
        return failure("no ALSA MIDI port called " + source +
                       (ports.empty() ? "; no port sends MIDI here" : "; the ports that can play are: " + ports));
    }
    if (const int result = snd_seq_connect_from(seq, port, address->client, address->port); result < 0) {
        snd_seq_close(seq);
        return failure("cannot connect from the ALSA MIDI port " + source + ": " + snd_strerror(result));
    }
    const snd_seq_addr_t own{static_cast<unsigned char>(snd_seq_client_id(seq)), static_cast<unsigned char>(port)};
    return std::make_unique<AlsaSequencerInput>(seq, own, *address, source);
}

std::vector<std::string> listAlsaInputs() {
    return sequencer::listPorts(SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ);
}

}  // namespace glassfalls::platform
