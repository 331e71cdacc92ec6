// glassfalls-picture-server: sends pictures to the pieces whose settings file names this
// machine, for their floors.
#include <signal.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <memory>

#include "tools/picture-server/PictureServer.h"

namespace {

volatile sig_atomic_t stopping = 0;

void stop(int) { stopping = 1; }

void logLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    int port = 4000;
    double rate = 2.0;
    std::string pictures;
    uint64_t count = 0;
    CLI::App cli{"Sends 128x128 pictures to every glassFalls piece that connects: the pieces "
                 "name this machine and the port in DIR/glassFalls.ini ([IP], [Port]). Each "
                 "client event is logged as one line on standard output.",
                 "glassfalls-picture-server"};
    cli.add_option("--port", port, "TCP and UDP port to listen on")->check(CLI::Range(1, 65535))->capture_default_str();
    cli.add_option("--rate", rate, "Pictures per second sent to each client")
        ->check(CLI::Range(0.1, 100.0))
        ->capture_default_str();
    cli.add_option("--pictures", pictures,
                   "A PNG or BMP file, or a folder of them (shown in name order, looping; "
                   "unreadable files are skipped). Any size: each is scaled to 128x128. "
                   "Without it, an animated pattern is sent");
    cli.add_option("--count", count, "Stop after sending this many pictures (0: run until stopped)");
    CLI11_PARSE(cli, argc, argv);

    std::unique_ptr<picture_server::PictureSource> source;
    if (pictures.empty()) {
        source = picture_server::makePattern();
    } else {
        std::string error;
        source = picture_server::openPictureFiles(pictures, error);
        if (!source) {
            std::fprintf(stderr, "glassfalls-picture-server: %s\n", error.c_str());
            return 1;
        }
    }
    picture_server::PictureServer server(*source, logLine);
    std::string error;
    if (!server.listen(static_cast<uint16_t>(port), error)) {
        std::fprintf(stderr, "glassfalls-picture-server: %s\n", error.c_str());
        return 1;
    }
    signal(SIGINT, stop);
    signal(SIGTERM, stop);
    char rateText[32];
    std::snprintf(rateText, sizeof rateText, "%g", rate);
    logLine("listening on port " + std::to_string(port) + ", " + rateText + " pictures a second");

    using Clock = std::chrono::steady_clock;
    const auto interval = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
    auto due = Clock::now() + interval;
    uint64_t sent = 0;
    while (!stopping && (count == 0 || sent < count)) {
        const auto now = Clock::now();
        if (now >= due) {
            server.sendPicture();
            ++sent;
            due += interval;
            if (due < now) due = now + interval;  // after a stall, no burst to catch up
            continue;
        }
        server.serve(static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count() + 1));
    }
    logLine("stopped after " + std::to_string(sent) + " pictures, " + std::to_string(server.picturesSent()) +
            " datagrams sent, " + std::to_string(server.picturesDropped()) + " dropped");
    return 0;
}
