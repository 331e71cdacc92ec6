// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace glassfalls::test_support {

// The environment prefix of a run drawn off-screen but paced by the real clock, as a live
// piece is: for tests whose outcome depends on real time passing, not on frames.
inline constexpr const char* kLiveOffScreen = "env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen";

struct Outcome {
    int status = -1;
    std::string output;  // standard output and standard error together
};

// The renderer the suite runs the piece with: GLASSFALLS_TEST_RENDERER, as for the rendered
// tests in this process; nothing (the piece's own choice) when it is not set.
inline std::string rendererArgument() {
    const char* chosen = std::getenv("GLASSFALLS_TEST_RENDERER");
    return chosen && *chosen ? std::string(" --renderer ") + chosen : std::string();
}

// Runs a shell command, its standard error with its output.
inline Outcome runCommand(const std::string& shellCommand) {
    const std::string command = shellCommand + " 2>&1";
    Outcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    std::array<char, 4096> buffer{};
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) outcome.output.append(buffer.data(), n);
    const int raw = pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

// `environment`: a prefix such as "env -u DISPLAY" for the program's environment. A
// --renderer in `arguments` comes later and wins.
inline Outcome runProgram(const std::string& arguments, const std::string& environment = "") {
    return runCommand(environment + " " + std::string(GLASSFALLS_BINARY) + rendererArgument() + " " + arguments);
}

}  // namespace glassfalls::test_support
