// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/picture-server/ServerOptions.h"

namespace picture_server {

void describeOptions(CLI::App& cli, ServerOptions& options) {
    cli.name("glassfalls-picture-server");
    cli.description(
        "Sends 128x128 pictures to every glassFalls piece that connects: the pieces "
        "name this machine and the port in DIR/glassFalls.ini ([IP], [Port]). Each "
        "client event is logged as one line on standard output, with the time, and a "
        "summary every minute.");
    cli.add_option("--port", options.port, "TCP and UDP port to listen on")
        ->check(CLI::Range(1, 65535))
        ->capture_default_str();
    cli.add_option("--listen", options.listenAddress,
                   "IPv4 address to listen on (0.0.0.0: every address of this machine)")
        ->check(CLI::ValidIPV4)
        ->capture_default_str();
    cli.add_option("--rate", options.rate, "Pictures per second sent to each client")
        ->check(CLI::Range(0.1, 100.0))
        ->capture_default_str();
    cli.add_option("--pictures", options.pictures,
                   "A PNG or BMP file, or a folder of them (shown in name order, looping; "
                   "unreadable files are skipped). Any size: each is scaled to 128x128. "
                   "Without it, an animated pattern is sent");
    cli.add_option("--count", options.count,
                   "Stop after sending this many pictures to each client (0: run until stopped)");
    cli.add_option("--websocket-port", options.websocketPort,
                   "Also serve pieces in web browsers, which have only WebSocket, on this TCP port of "
                   "every address: each gets every round's picture as one binary message of 128x128 "
                   "RGB, in its turn, as the others do")
        ->check(CLI::Range(1, 65535));
}

}  // namespace picture_server
