// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/os/Expected.h"

namespace glassfalls {

// The options a gallery sets once, without editing how the piece is started: one
// command-line option per line ("--windowed", "--audio-device USB Microphone"), its value
// the rest of the line; blank lines and lines starting with '#' are skipped.

// $XDG_CONFIG_HOME/glassfalls/options (~/.config/glassfalls/options without it) if it exists,
// else /etc/glassfalls/options if that does; empty when neither is there.
std::string findOptionsFile();

// The file's options as arguments, in its order. Fails on a line that is not a valid option
// for the piece ("FILE:LINE: why"), or when the file cannot be read.
platform::Expected<std::vector<std::string>> readOptionsFile(const std::string& path);

}  // namespace glassfalls
