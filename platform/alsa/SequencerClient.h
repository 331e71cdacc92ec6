// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <alsa/asoundlib.h>

#include <string>
#include <vector>

#include "platform/os/Expected.h"

// What the sequencer's output and input share: a client of the piece's own, ports named as
// the user names them, and the connections between them.
namespace glassfalls::platform::sequencer {

// A client of the sequencer, named after the piece, that never waits on a full or empty
// queue.
Expected<snd_seq_t*> openClient(int mode);

// The address `name` stands for: a client name, a name prefix or client:port.
Expected<snd_seq_addr_t> addressOf(snd_seq_t* seq, const std::string& name);

// True while the connection from `sender` to `receiver` stands: it goes when either port's
// program or device goes away.
bool connected(snd_seq_t* seq, const snd_seq_addr_t& sender, const snd_seq_addr_t& receiver);

// Ports offering every one of `capabilities`, as "client:port  client name / port name".
// The system's own ports (timer, announcements) are left out.
std::vector<std::string> listPorts(unsigned capabilities);

}  // namespace glassfalls::platform::sequencer
