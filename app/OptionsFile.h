#pragma once

#include <optional>
#include <string>
#include <vector>

namespace glassfalls {

// The options a gallery sets once, without editing how the piece is started: one
// command-line option per line ("--windowed", "--audio-device USB Microphone"), its value
// the rest of the line; blank lines and lines starting with '#' are skipped.

// $XDG_CONFIG_HOME/glassfalls/options (~/.config/glassfalls/options without it) if it exists,
// else /etc/glassfalls/options if that does; empty when neither is there.
std::string findOptionsFile();

// The file's options as arguments, in its order. Nothing on a line that is not a valid option
// for the piece, with "FILE:LINE: why" in `error`, or when the file cannot be read.
std::optional<std::vector<std::string>> readOptionsFile(const std::string& path, std::string& error);

}  // namespace glassfalls
