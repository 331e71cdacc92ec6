// SPDX-License-Identifier: GPL-3.0-or-later
// glassfalls-picture-server: sends pictures to the pieces whose settings file names this
// machine, for their floors.
#include <arpa/inet.h>
#include <signal.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

#include "tools/picture-server/PictureServer.h"
#include "tools/picture-server/ServerOptions.h"

namespace {

volatile sig_atomic_t stopping = 0;

void stop(int) { stopping = 1; }

// Every line starts with the local time, so a log read the next morning says when.
void logLine(const std::string& line) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S%z", &local);
    std::printf("%s %s\n", stamp, line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    using Clock = picture_server::PictureServer::Clock;
    picture_server::ServerOptions options;
    CLI::App cli;
    picture_server::describeOptions(cli, options);
    CLI11_PARSE(cli, argc, argv);

    std::unique_ptr<picture_server::PictureSource> source;
    if (options.pictures.empty()) {
        source = picture_server::makePattern();
    } else {
        auto opened = picture_server::openPictureFiles(options.pictures);
        if (!opened) {
            std::fprintf(stderr, "glassfalls-picture-server: %s\n", opened.error().c_str());
            return 1;
        }
        source = std::move(*opened);
    }
    in_addr address{};
    inet_pton(AF_INET, options.listenAddress.c_str(), &address);
    picture_server::PictureServer server(*source, logLine);
    if (auto listening = server.listen(static_cast<uint16_t>(options.port), address.s_addr); !listening) {
        std::fprintf(stderr, "glassfalls-picture-server: %s\n", listening.error().c_str());
        return 1;
    }
    picture_server::WebSocketClients browsers;
    if (options.websocketPort) {
        if (auto listening = browsers.listen(static_cast<uint16_t>(options.websocketPort)); !listening) {
            std::fprintf(stderr, "glassfalls-picture-server: %s\n", listening.error().c_str());
            return 1;
        }
        server.serveBrowsers(browsers);
        logLine("serving web browsers over WebSocket on port " + std::to_string(options.websocketPort));
    }
    signal(SIGINT, stop);
    signal(SIGTERM, stop);
    char rateText[32];
    std::snprintf(rateText, sizeof rateText, "%g", options.rate);
    logLine("listening on " + options.listenAddress + " port " + std::to_string(options.port) + ", " + rateText +
            " pictures a second");

    const auto interval =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options.rate));
    constexpr auto kSummaryEvery = std::chrono::seconds(60);
    auto roundDue = Clock::now();
    auto summaryDue = roundDue + kSummaryEvery;
    uint64_t sentAtSummary = 0, droppedAtSummary = 0;
    auto roundsLeft = [&] { return options.count == 0 || server.roundsStarted() < options.count; };
    // The last round is sent in full before stopping.
    while (!stopping && (roundsLeft() || server.nextSendDue())) {
        auto now = Clock::now();
        if (now >= roundDue && roundsLeft()) {
            server.startRound(now, interval);
            roundDue += interval;
            if (roundDue < now) roundDue = now + interval;  // after a stall, no burst to catch up
        }
        server.sendDue(now);
        if (now >= summaryDue) {
            const size_t clients = server.clientCount();
            logLine(std::to_string(clients) + (clients == 1 ? " client, " : " clients, ") +
                    std::to_string(server.registeredCount()) + " receiving; in the last minute " +
                    std::to_string(server.picturesSent() - sentAtSummary) + " pictures sent, " +
                    std::to_string(server.picturesDropped() - droppedAtSummary) + " dropped");
            sentAtSummary = server.picturesSent();
            droppedAtSummary = server.picturesDropped();
            summaryDue += kSummaryEvery;
        }
        auto wake = std::min(roundDue, summaryDue);
        if (const auto send = server.nextSendDue()) wake = std::min(wake, *send);
        now = Clock::now();
        const auto wait =
            wake > now ? std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count() + 1 : 0;
        server.serve(static_cast<uint32_t>(wait));
    }
    logLine("stopped after " + std::to_string(server.roundsStarted()) + " pictures, " +
            std::to_string(server.picturesSent()) + " datagrams sent, " + std::to_string(server.picturesDropped()) +
            " dropped");
    return 0;
}
