#pragma once

#include <optional>
#include <string>

#include "app/StartOptions.h"

namespace glassfalls {

struct CommandLine {
    StartOptions start;
    bool listDevices = false;
};

// Parses the program's arguments. Returns nothing when the program should end at once with
// `exitCode`: after --help or --version (0), or a bad option (non-zero, reason printed).
std::optional<CommandLine> parseCommandLine(int argc, const char* const* argv, int& exitCode);

}  // namespace glassfalls
