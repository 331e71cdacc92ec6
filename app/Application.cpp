// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <thread>
#include <utility>

#include "app/Backends.h"
#include "app/PieceSnapshot.h"
#include "app/Settings.h"
#include "math/TrigTables.h"
#include "trail/Score.h"

namespace glassfalls {

using platform::Message;
using platform::MessageId;

Application::Application(PlatformServices services) : services_(std::move(services)) {}

Application::~Application() {
    running = false;
    shutDownOutputs();
}

platform::Expected<void> Application::init(const StartOptions& options) {
    GLASSFALLS_TRY(start(options));
    service_ = pickServiceNotifier();
    service_->ready();
    return {};
}

platform::Expected<void> Application::start(const StartOptions& options) {
    options_ = options;

    platform::WindowConfig config;
    config.title = "glassFalls";
    config.fullScreen = !options.windowed && !options.headless;
    config.display = options.display;
    config.renderer = options.renderer;
    config.headless = options.headless;
    auto window = services_.openWindow(config);
    if (!window) return platform::Failure{window.error()};
    create(std::move(*window));

    const FrameSize frame = frameSizeNow();
    width = frame.width;
    height = frame.height;
    if (auto created = renderDevice.create(platform::deviceFactoryOf(this->window()), width, height, options.windowed,
                                           screenFor(frame), chosenMultisamples());
        !created) {
        // The renderer or the size asked for by name is not there: the machine cannot run
        // it as told.
        if (options.renderer != platform::gfx::Renderer::Auto || options.size) failureStatus_ = 2;
        return created;
    }
    // Antialiasing by default where a graphics card does it: a software rasteriser pays for
    // every sample with the processor the frames need (see docs/performance.md).
    if (!options.msaa && !options.headless && !drawsInSoftware(renderDevice.device->renderer()))
        renderDevice.setMultisamples(kDefaultMultisamples);
    if (!options.screenshotDir.empty())
        GLASSFALLS_TRY(screenshots_.open(options.screenshotDir, options.screenshotEvery));
    if (!options.videoFile.empty()) GLASSFALLS_TRY(openVideo());
    fillTrigTables();

    if (!options.melodyFile.empty()) {
        if (const auto melody = loadScore(options.melodyFile); !melody) return platform::Failure{melody.error()};
    }
    const std::string melodyFile = options.melodyFile.empty() ? dataPath("music.dat") : options.melodyFile;
    GLASSFALLS_TRY(world.init({renderDevice, midiOut, options.dataDir, melodyFile}, renderDevice.screen()));
    world.viewTurn = options.viewTurn;
    GLASSFALLS_TRY(director.init(stage_));
    GLASSFALLS_TRY(openLockstep());
    // A follower hears, plays and sees the network through its leader.
    if (follower_) return {};
    GLASSFALLS_TRY(openCapture());
    auto instrument = pickInstrument(options, clock());
    if (!instrument) return platform::Failure{instrument.error()};
    instrument_ = std::move(instrument->source);
    GLASSFALLS_TRY(openMidi());
    if (options.oscPort) {
        auto control = openShowControl(
            *options.oscPort, keys_, [this] { return showStatus(); }, instrument->playedOverOsc);
        if (!control) return platform::Failure{control.error()};
        showControl_ = std::move(*control);
    }

    if (!options.picturesUrl.empty()) {
        auto link = openWebSocketPictureLink(options.picturesUrl);
        if (!link) return platform::Failure{link.error()};
        pictureLink = std::move(*link);
        return {};
    }
    const auto settings = readSettingsFile(dataPath("glassFalls.ini"));
    if (!settings) return {};
    auto link = openPictureLink(settings->host, settings->port);
    if (!link) return platform::Failure{link.error()};
    pictureLink = std::move(*link);
    return {};
}

FrameSize Application::frameSizeNow() {
    if (options_.size) return *options_.size;
    if (options_.headless) return kPieceFrame;
    FrameSize drawable;
    window().drawableSize(drawable.width, drawable.height);
    // A window the system has not sized yet (or shrunk to nothing) draws the piece's own.
    if (drawable.width <= 0 || drawable.height <= 0) return kPieceFrame;
    return drawable;
}

uint32_t Application::chosenMultisamples() const { return options_.msaa ? static_cast<uint32_t>(*options_.msaa) : 0; }

bool drawsInSoftware(const std::string& renderer) {
    for (const char* name : {"llvmpipe", "softpipe", "SwiftShader", "software"}) {
        if (renderer.find(name) != std::string::npos) return true;
    }
    return false;
}

PieceScreen Application::screenFor(FrameSize frame) const {
    if (options_.aspect == Aspect::Fill) return PieceScreen::filling(frame.width, frame.height);
    return {};
}

void Application::followDrawableSize() {
    if (!resizePending_) return;
    resizePending_ = false;
    const FrameSize frame = frameSizeNow();
    if (frame.width == width && frame.height == height) return;
    width = frame.width;
    height = frame.height;
    renderDevice.resizeFrame(width, height, screenFor(frame));
}

platform::Expected<void> Application::openLockstep() {
    if (options_.lead.empty() && options_.follow.empty()) return {};
    fingerprint_ = dataFingerprint(world.filesRead);
    if (!options_.lead.empty()) {
        auto leader = openLeaderLink(*lockstepAddressNamed(options_.lead), fingerprint_,
                                     [this] { return takeSnapshot(advances_, fingerprint_, world, director); });
        if (!leader) return platform::Failure{leader.error()};
        leader_ = std::move(*leader);
        return {};
    }
    auto follower = openFollowerLink(*lockstepAddressNamed(options_.follow), fingerprint_, !options_.headless);
    if (!follower) return platform::Failure{follower.error()};
    follower_ = std::move(*follower);
    return {};
}

std::optional<FrameInput> Application::nextInput() { return follower_ ? leadersInput() : gatherInput(); }

std::optional<FrameInput> Application::gatherInput() {
    if (!pacer_.tick(clock().now(), world.frameInterval())) return std::nullopt;
    // The watchdog hears of each advance when it begins, when advances are a frame interval
    // apart whatever the drawing took; a piece stuck in a frame never reaches the next.
    service_->frameAdvanced();
    keyboard().beforeAdvance(advances_ + 1);
    FrameInput input = std::exchange(gathered_, {});
    input.keysDown = keysDownOf(keyboard());
    if (instrument_) {
        input.instrument = true;
        // The song begins with the performance.
        const SceneEvent* scene = director.current();
        if (scene && scene->kind == Scene::Performance) input.played = instrument_->frame(clock().now());
        else instrument_->offstage(clock().now());
    }
    if (leader_) leader_->send(advances_ + 1, input, drawTime_);
    return input;
}

std::optional<FrameInput> Application::leadersInput() {
    // Waiting for a leader is not being stuck.
    service_->frameAdvanced();
    if (const auto& refusal = follower_->refusal()) {
        endInFailure(*refusal);
        return std::nullopt;
    }
    if (auto snapshot = follower_->takeSnapshot()) {
        const auto restored = restoreSnapshot(*snapshot, fingerprint_, world, director, *renderDevice.device);
        if (!restored) {
            endInFailure("cannot go on from the leader's " + restored.error());
            return std::nullopt;
        }
        advances_ = *restored;
        follower_->resumeAfter(*restored);
        std::fprintf(stderr, "glassfalls: took the piece from the leader at advance %llu (%zu kB)\n",
                     static_cast<unsigned long long>(*restored), snapshot->size() / 1024);
    }
    auto input = follower_->take(advances_ + 1);
    // A headless follower has nothing to show once its leader has ended.
    if (!input && options_.headless && follower_->leaderFinished(advances_)) sendMessage({MessageId::Close});
    return input;
}

void Application::endInFailure(const std::string& why) {
    if (failed_) return;
    std::fprintf(stderr, "glassfalls: %s\n", why.c_str());
    failed_ = true;
    sendMessage({MessageId::Close});
}

void Application::onIdle() {
    if (hasWindow()) window().hideCursor();
    followDrawableSize();
    const std::optional<FrameInput> input = nextInput();
    if (!input) return;

    ++advances_;
    const auto drawStarted = std::chrono::steady_clock::now();
    if (director.advance(*input)) {
        // A follower shows its frame when the leader shows the same.
        if (follower_) std::this_thread::sleep_for(follower_->untilPresent());
        renderDevice.presentFrame();
    }
    // What the followers are told of when the leader's frame shows: the drawing's recent time.
    const auto drawn =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - drawStarted);
    drawTime_ += (drawn - drawTime_) / 8;
    midiOut.flush();
    for (OutsideSource* source : outside())
        if (source) source->frameAdvanced();
    if (renderDevice.device) drawnFrames_.afterAdvance(advances_, clock().now(), *renderDevice.device);
    if (const auto failure = video_.failure()) endInFailure(*failure + "; the recording stops");
    if (options_.frameLimit && advances_ >= *options_.frameLimit) sendMessage({MessageId::Close});
}

platform::Expected<void> Application::openCapture() {
    auto source = pickCapture(options_, clock());
    if (!source) return platform::Failure{source.error()};
    waveCapture.open(std::move(*source));
    return {};
}

platform::Expected<void> Application::openMidi() {
    auto port = pickMidiPort(options_, clock(), video_.isOpen() ? &video_ : nullptr);
    if (!port) {
        return platform::failure("cannot open the MIDI output: " + port.error() +
                                 " (--list-devices shows the ALSA ports; --midi none runs without)");
    }
    return midiOut.open(std::move(*port));
}

void Application::pollSources() {
    // The newest block and picture wait for the next advance.
    if (platform::MicrophoneBlock block; waveCapture.collect(clock().now(), block)) gathered_.microphone = block;
    for (OutsideSource* source : outside())
        if (source) source->poll(clock().now(), gathered_);
}

ShowStatus Application::showStatus() const {
    ShowStatus status;
    const SceneEvent* scene = director.current();
    status.scene = scene && scene->kind == Scene::Performance ? "performance" : "title";
    if (world.group) status.performers = world.group->performing();
    status.framesDrawn = static_cast<int32_t>(std::min<uint64_t>(advances_, INT32_MAX));
    return status;
}

std::optional<int> Application::browserFrame() {
    const uint64_t before = advances_;
    // Bounded, so that a page whose piece cannot advance still gets its frame back.
    for (int passes = 0; passes < 64; ++passes) {
        if (const auto code = pass()) return code;
        if (messagesWaiting()) continue;
        if (!options_.headless || advances_ != before) break;
        waitForWork();
    }
    return std::nullopt;
}

void Application::waitForWork() {
    if (!hasWindow()) return;
    const uint32_t now = clock().now();
    // A follower looks again soon for what its leader has not sent.
    constexpr uint32_t kFollowerLooksAgainMs = 20;
    uint32_t deadline = follower_ ? now + kFollowerLooksAgainMs : pacer_.nextDue(now, world.frameInterval());
    if (const auto block = waveCapture.nextBlockDue(); block && platform::ticksUntil(*block, deadline) > 0) {
        deadline = *block;
    }
    // Kept from pass to pass, so that waiting allocates nothing.
    waitSockets_.clear();
    for (OutsideSource* source : outside())
        if (source) source->addSockets(waitSockets_);
    clock().waitUntil(deadline, window(), waitSockets_);
}

int64_t Application::windowProc(const Message& message) {
    switch (message.id) {
        case MessageId::Destroy:
            running = false;
            shutDownOutputs();
            // The drawing context goes while its window is still there; nothing draws after
            // this, since the scenes stop once the piece is no longer running.
            renderDevice.release();
            postQuitMessage(failed_ ? 1 : 0);
            break;
        // A frame of the drawable's own size follows it; a frame of a size given is scaled.
        case MessageId::Size: resizePending_ = !options_.size && !options_.headless; break;
        case MessageId::Activate:
        case MessageId::ActivateApp: active = message.wParam != 0; break;
        default: break;
    }
    return defWindowProc(message);
}

platform::Expected<void> Application::openVideo() {
    VideoRecording::Sound sound;
    // Any other output plays the notes outside the program, where the video cannot hear them.
    sound.synthesiser = options_.midi == "synth" && hasBuiltInSynthesiser();
    if (options_.videoInputSound) sound.heardFile = options_.audioFile;
    return video_.open(options_.videoFile, width, height, clock().now(), sound);
}

void Application::shutDownOutputs() {
    if (renderDevice.device) drawnFrames_.finish(*renderDevice.device);
    if (leader_) leader_->linger();
    // Closing the output renders the synthesiser's sound to the end, which the video takes.
    midiOut.close();
    pictureLink.reset();
    if (!video_.isOpen()) return;
    if (auto finished = video_.finish(clock().now()); !finished) {
        if (!finished.error().empty()) std::fprintf(stderr, "glassfalls: %s\n", finished.error().c_str());
        failed_ = true;
    }
}

}  // namespace glassfalls
