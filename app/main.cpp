#include <cstdio>
#include <memory>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "platform/audio/CaptureSource.h"
#include "platform/midi/MidiPort.h"

using namespace glassfalls;

namespace {

std::unique_ptr<platform::Keyboard> chooseKeyboard(const CommandLine& line, bool& ok) {
    ok = true;
    if (!line.keysFile.empty()) {
        std::string error;
        auto script = platform::ScriptedKeyboard::load(line.keysFile, error);
        if (!script) {
            std::fprintf(stderr, "glassfalls: %s\n", error.c_str());
            ok = false;
            return nullptr;
        }
        return std::make_unique<platform::ScriptedKeyboard>(std::move(*script));
    }
    if (line.start.headless) return std::make_unique<platform::NullKeyboard>();
    return std::make_unique<platform::SdlKeyboard>();
}

std::unique_ptr<platform::Clock> chooseClock(const CommandLine& line) {
    if (line.start.headless) return std::make_unique<platform::VirtualClock>();
    return std::make_unique<platform::RealClock>();
}

}  // namespace

int main(int argc, char** argv) {
    platform::quietenAlsaDiagnostics();
    int exitCode = 0;
    const auto line = parseCommandLine(argc, argv, exitCode);
    if (!line) return exitCode;
    if (line->listDevices) {
        std::printf("Capture devices (for --audio-device):\n");
        for (const std::string& name : platform::listCaptureDevices()) std::printf("  %s\n", name.c_str());
        std::printf("MIDI ports (for --midi alsa:PORT; --midi synth is built in):\n");
        for (const std::string& port : platform::listAlsaPorts()) std::printf("  %s\n", port.c_str());
        return 0;
    }

    bool keyboardOk = false;
    const auto keyboard = chooseKeyboard(*line, keyboardOk);
    if (!keyboardOk) return 2;
    const auto clock = chooseClock(*line);

    Application application({*clock, *keyboard, platform::openSdlWindow});
    if (!application.init(line->start)) {
        std::fprintf(stderr, "glassfalls: %s\n", application.failure().c_str());
        return 1;
    }
    return application.run();
}
