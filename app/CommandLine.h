// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "app/StartOptions.h"

namespace CLI {
class App;
}

namespace glassfalls {

struct CommandLine {
    StartOptions start;
    std::string size = "native";  // --size as given; start.size is what it names
    bool listDevices = false;
    bool listen = false;
};

// Declares the program's options on `cli`, bound to `line`: the one table that --help, the
// parser and the manual page are made from.
void describeOptions(CLI::App& cli, CommandLine& line);

// Parses the program's arguments (the options file's first). Returns nothing when the program
// should end at once with `exitCode`: after --help or --version (0), or a bad option
// (non-zero, reason printed). An option given twice takes the later value.
std::optional<CommandLine> parseCommandLine(int argc, const char* const* argv, int& exitCode);

}  // namespace glassfalls
