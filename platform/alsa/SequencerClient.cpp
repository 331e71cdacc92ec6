// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/alsa/SequencerClient.h"

namespace glassfalls::platform::sequencer {

Expected<snd_seq_t*> openClient(int mode) {
    snd_seq_t* seq = nullptr;
    const int result = snd_seq_open(&seq, "default", mode, SND_SEQ_NONBLOCK);
    if (result < 0) {
        return failure(std::string("cannot open the ALSA sequencer: ") + snd_strerror(result) +
                       " (is the snd-seq kernel module loaded?)");
    }
    snd_seq_set_client_name(seq, "glassFalls");
    return seq;
}

Expected<snd_seq_addr_t> addressOf(snd_seq_t* seq, const std::string& name) {
    snd_seq_addr_t address{};
    if (snd_seq_parse_address(seq, &address, name.c_str()) < 0) return failure("no ALSA MIDI port called " + name);
    return address;
}

bool connected(snd_seq_t* seq, const snd_seq_addr_t& sender, const snd_seq_addr_t& receiver) {
    snd_seq_port_subscribe_t* subscription = nullptr;
    snd_seq_port_subscribe_alloca(&subscription);
    snd_seq_port_subscribe_set_sender(subscription, &sender);
    snd_seq_port_subscribe_set_dest(subscription, &receiver);
    return snd_seq_get_port_subscription(seq, subscription) >= 0;
}

std::vector<std::string> listPorts(unsigned capabilities) {
    std::vector<std::string> ports;
    const auto opened = openClient(SND_SEQ_OPEN_DUPLEX);
    if (!opened) return ports;
    snd_seq_t* seq = *opened;
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    snd_seq_client_info_malloc(&client);
    snd_seq_port_info_malloc(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        if (id == SND_SEQ_CLIENT_SYSTEM) continue;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            const unsigned offered = snd_seq_port_info_get_capability(port);
            if ((offered & capabilities) != capabilities || (offered & SND_SEQ_PORT_CAP_NO_EXPORT)) continue;
            ports.push_back(std::to_string(id) + ":" + std::to_string(snd_seq_port_info_get_port(port)) + "  " +
                            snd_seq_client_info_get_name(client) + " / " + snd_seq_port_info_get_name(port));
        }
    }
    snd_seq_port_info_free(port);
    snd_seq_client_info_free(client);
    snd_seq_close(seq);
    return ports;
}

}  // namespace glassfalls::platform::sequencer
