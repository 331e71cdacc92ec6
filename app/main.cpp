// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Backends.h"
#include "app/CommandLine.h"
#include "app/DataDirectory.h"
#include "app/DeviceList.h"
#include "app/ListenCheck.h"
#include "app/OptionsFile.h"
#include "app/PieceLoop.h"
#include "platform/os/Browser.h"
#include "platform/sound/CaptureSource.h"

using namespace glassfalls;

namespace {

int listDevices() {
    Devices devices;
    devices.displays = platform::listDisplays();
    devices.captureDevices = platform::listCaptureDevices(&devices.defaultCapture);
    devices.midiPorts = listMidiPorts();
    devices.instrumentPorts = listInstrumentPorts();
    devices.synthesiser = hasBuiltInSynthesiser();
    std::fputs(describeDevices(devices).c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    quietenDeviceLibraries();
    std::vector<std::string> arguments{argv[0]};
    if (const std::string file = findOptionsFile(); !file.empty()) {
        const auto fromFile = readOptionsFile(file);
        if (!fromFile) {
            std::fprintf(stderr, "glassfalls: %s\n", fromFile.error().c_str());
            return 2;
        }
        arguments.insert(arguments.end(), fromFile->begin(), fromFile->end());
    }
    arguments.insert(arguments.end(), argv + 1, argv + argc);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

    int exitCode = 0;
    const auto line = parseCommandLine(static_cast<int>(pointers.size()), pointers.data(), exitCode);
    if (!line) return exitCode;
    if (line->listDevices) return listDevices();

    StartOptions options = line->start;
    if (const auto built = refuseMissingBackends(options); !built) {
        std::fprintf(stderr, "glassfalls: %s\n", built.error().c_str());
        return 2;
    }
    if (!options.dataChosen) {
        std::error_code ignored;
        options.dataDir = defaultDataDirectory(std::filesystem::read_symlink("/proc/self/exe", ignored).string());
    }
    auto keyboard = pickKeyboard(options);
    if (!keyboard) {
        std::fprintf(stderr, "glassfalls: %s\n", keyboard.error().c_str());
        return 2;
    }
    auto clock = pickClock(options);
    // The check prints and sleeps a block at a time, which a page's one thread cannot do.
    if (line->listen && platform::kInBrowser) {
        std::fprintf(stderr, "glassfalls: --listen runs only outside a browser\n");
        return 2;
    }
    if (line->listen) return runListenCheck(options, *clock);

    auto piece = std::make_unique<RunningPiece>(std::move(clock), std::move(*keyboard));
    if (const auto started = piece->application.init(options); !started) {
        std::fprintf(stderr, "glassfalls: %s\n", started.error().c_str());
        return piece->application.failureStatus();
    }
    return runPiece(std::move(piece));
}
