// SPDX-License-Identifier: GPL-3.0-or-later
// One picture server feeding 64 pieces on loopback at 10 pictures a second each, each round
// spread across its 100 ms, all in one process and one thread, as the main loops would poll
// them. Reports the pictures delivered
// and lost per second of running.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "net/ImageNetLink.h"
#include "tools/picture-server/PictureServer.h"

using namespace glassfalls;

static void BM_PictureServerFeedsSixtyFourClients(benchmark::State& state) {
    constexpr int kClients = 64;
    auto source = picture_server::makePattern();
    picture_server::PictureServer server(*source, [](const std::string&) {});
    platform::net::Socket probe = platform::net::Socket::tcp();
    probe.bind(0, 0x0100007F);
    const uint16_t port = probe.local().port;
    probe.close();
    if (auto listening = server.listen(port, 0x0100007F); !listening) {
        state.SkipWithError(listening.error().c_str());
        return;
    }
    std::vector<std::unique_ptr<ImageNetLink>> links;
    for (int i = 0; i < kClients; ++i) {
        links.push_back(std::make_unique<ImageNetLink>());
        if (auto opened = links.back()->open("127.0.0.1", port); !opened)
            return state.SkipWithError(opened.error().c_str());
    }
    auto pumpLinks = [&] {
        for (auto& link : links) link->poll(0);
    };
    while (server.registeredCount() < kClients) {
        server.serve(1);
        pumpLinks();
    }

    uint64_t delivered = 0, sent = 0;
    for (auto _ : state) {
        // One second: a picture to every client every 100 ms.
        uint64_t before = 0;
        for (auto& link : links) before += link->picturesReceived;
        const uint64_t sentBefore = server.picturesSent() + server.picturesDropped();
        const auto start = std::chrono::steady_clock::now();
        for (int tick = 0; tick < 10; ++tick) {
            const auto round = std::chrono::milliseconds(100);
            server.startRound(std::chrono::steady_clock::now(), round);
            const auto due = start + round * (tick + 1);
            for (auto now = std::chrono::steady_clock::now(); now < due; now = std::chrono::steady_clock::now()) {
                server.sendDue(now);
                server.serve(0);
                pumpLinks();
            }
        }
        uint64_t after = 0;
        for (auto& link : links) after += link->picturesReceived;
        delivered += after - before;
        sent += server.picturesSent() + server.picturesDropped() - sentBefore;
    }
    state.counters["delivered_per_s"] =
        benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kAvgIterations);
    state.counters["lost_per_s"] =
        benchmark::Counter(static_cast<double>(sent - delivered), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PictureServerFeedsSixtyFourClients)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
