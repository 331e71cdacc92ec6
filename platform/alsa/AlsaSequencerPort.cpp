// SPDX-License-Identifier: GPL-3.0-or-later
#include <alsa/asoundlib.h>

#include "platform/alsa/AlsaSequencer.h"

namespace glassfalls::platform {

namespace {

void quiet(const char*, int, const char*, int, const char*, ...) {}

Expected<snd_seq_t*> openSequencer(int mode) {
    snd_seq_t* seq = nullptr;
    const int result = snd_seq_open(&seq, "default", mode, 0);
    if (result < 0) {
        return failure(std::string("cannot open the ALSA sequencer: ") + snd_strerror(result) +
                       " (is the snd-seq kernel module loaded?)");
    }
    return seq;
}

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
        snd_seq_addr_t sender{static_cast<unsigned char>(snd_seq_client_id(seq_)), static_cast<unsigned char>(port_)};
        snd_seq_addr_t receiver{};
        if (snd_seq_parse_address(seq_, &receiver, destination_.c_str()) < 0) return true;
        snd_seq_port_subscribe_t* subscription = nullptr;
        snd_seq_port_subscribe_alloca(&subscription);
        snd_seq_port_subscribe_set_sender(subscription, &sender);
        snd_seq_port_subscribe_set_dest(subscription, &receiver);
        return snd_seq_get_port_subscription(seq_, subscription) < 0;
    }

private:
    snd_seq_t* seq_;
    int port_;
    std::string destination_;
};

}  // namespace

void quietenAlsaDiagnostics() { snd_lib_error_set_handler(quiet); }

Expected<std::unique_ptr<MidiPort>> openAlsaPort(const std::string& destination) {
    const auto opened = openSequencer(SND_SEQ_OPEN_OUTPUT);
    if (!opened) return failure(opened.error());
    snd_seq_t* seq = *opened;
    // A receiver that stops reading must never hold up a frame: its notes are dropped.
    snd_seq_nonblock(seq, 1);
    snd_seq_set_client_name(seq, "glassFalls");
    const int port =
        snd_seq_create_simple_port(seq, "glassFalls out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                   SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    snd_seq_addr_t address{};
    if (port < 0 || snd_seq_parse_address(seq, &address, destination.c_str()) < 0) {
        snd_seq_close(seq);
        return failure("no ALSA MIDI port called " + destination + " (see --list-devices)");
    }
    if (const int result = snd_seq_connect_to(seq, port, address.client, address.port); result < 0) {
        snd_seq_close(seq);
        return failure("cannot connect to the ALSA MIDI port " + destination + ": " + snd_strerror(result));
    }
    return std::make_unique<AlsaSequencerPort>(seq, port, destination);
}

std::vector<std::string> listAlsaPorts() {
    std::vector<std::string> ports;
    const auto opened = openSequencer(SND_SEQ_OPEN_OUTPUT);
    if (!opened) return ports;
    snd_seq_t* seq = *opened;
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    snd_seq_client_info_malloc(&client);
    snd_seq_port_info_malloc(&port);
    snd_seq_client_info_set_client(client, -1);
    constexpr unsigned kWritable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
    while (snd_seq_query_next_client(seq, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            if ((snd_seq_port_info_get_capability(port) & kWritable) != kWritable) continue;
            ports.push_back(std::to_string(id) + ":" + std::to_string(snd_seq_port_info_get_port(port)) + "  " +
                            snd_seq_client_info_get_name(client) + " / " + snd_seq_port_info_get_name(port));
        }
    }
    snd_seq_port_info_free(port);
    snd_seq_client_info_free(client);
    snd_seq_close(seq);
    return ports;
}

}  // namespace glassfalls::platform
