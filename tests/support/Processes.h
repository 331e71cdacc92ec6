// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace glassfalls::test_support {

// Starts a shell command line in a process of its own; its pid, to finish it with.
inline pid_t startProcess(const std::string& command) {
    const pid_t child = fork();
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), nullptr);
        _exit(127);
    }
    return child;
}

// Sends `signal` (0: none) and waits for the process; its exit status, -1 when it did not exit.
inline int finishProcess(pid_t child, int signal) {
    if (child <= 0) return -1;
    if (signal) kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace glassfalls::test_support
