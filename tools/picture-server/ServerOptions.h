// SPDX-License-Identifier: GPL-3.0-or-later
// The picture server's command line, in one table that both the program and its manual page
// are made from.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

namespace picture_server {

struct ServerOptions {
    int port = 4000;
    double rate = 2.0;
    std::string listenAddress = "0.0.0.0";
    std::string pictures;
    uint64_t count = 0;
    int websocketPort = 0;  // none
};

// Names and describes the program and its options on `cli`, writing into `options`.
void describeOptions(CLI::App& cli, ServerOptions& options);

}  // namespace picture_server
