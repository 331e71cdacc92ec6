// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/DrawnFrames.h"
#include "app/FrameInput.h"
#include "app/FramePacer.h"
#include "app/InstrumentSource.h"
#include "app/Lockstep.h"
#include "app/OutsideSource.h"
#include "app/SceneDirector.h"
#include "app/Screenshots.h"
#include "app/ShowStatus.h"
#include "app/StartOptions.h"
#include "app/VideoRecording.h"
#include "app/WindowBase.h"
#include "app/World.h"
#include "performer/MidiOut.h"
#include "platform/input/RemoteKeys.h"
#include "platform/os/Clock.h"
#include "platform/os/ServiceNotifier.h"
#include "platform/sound/WaveCapture.h"
#include "render/RenderDevice.h"

namespace glassfalls {

// The samples a pixel a live piece draws with on a graphics card, unless told otherwise.
inline constexpr uint32_t kDefaultMultisamples = 4;

// True for a driver that draws with the processor (Mesa's llvmpipe and softpipe,
// SwiftShader), by the name it gives.
bool drawsInSoftware(const std::string& renderer);

// The operating-system services the application runs on, picked by the entry point.
struct PlatformServices {
    platform::Clock& clock;
    platform::Keyboard& keyboard;
    platform::WindowOpener openWindow;
};

// The piece itself: brings up the devices and the world, paces the frames and shuts down in
// order. Main thread only.
class Application final : public WindowBase {
public:
    explicit Application(PlatformServices services);
    ~Application() override;

    // The whole start-up; a service manager is told when it is complete. A failure says
    // what went wrong.
    platform::Expected<void> init(const StartOptions& options);

    // The exit status a failed start-up ends with: 2 when a renderer asked for by name is
    // not there, else 1.
    int failureStatus() const { return failureStatus_; }

    std::string dataPath(const std::string& name) const { return options_.dataDir + "/" + name; }
    // The keyboard's keys and those pressed over OSC.
    platform::Keyboard& keyboard() { return keys_; }
    platform::Clock& clock() { return services_.clock; }
    uint64_t advances() const { return advances_; }
    // A browser's driver, once per animation frame: passes until no message is waiting and,
    // on the virtual clock, whose waiting is a jump, until the piece has advanced once.
    // Returns the exit code once the piece has ended.
    std::optional<int> browserFrame();
    // What the scenes are given of the application.
    SceneContext& sceneContext() { return stage_; }

    bool running = true;  // false from the window's destruction on
    // The world outlives the devices, so its pictures are let go after the drawing context
    // is gone rather than into the context of a window that may already be closed. The
    // scenes, which draw the world, go before it.
    World world;
    SceneDirector director;
    RenderDevice renderDevice;
    platform::WaveCapture waveCapture;
    MidiOut midiOut;
    std::unique_ptr<OutsideSource> pictureLink;  // only with a settings file

protected:
    void onIdle() override;
    int64_t windowProc(const platform::Message& message) override;
    void waitForWork() override;
    void pollSources() override;

private:
    // What the scenes use of the application.
    class Stage final : public SceneContext {
    public:
        explicit Stage(Application& app) : app_(app) {}
        RenderDevice& renderDevice() override { return app_.renderDevice; }
        World& world() override { return app_.world; }
        bool showing() const override { return app_.running && app_.active; }
        void requestClose() override { app_.postMessage({platform::MessageId::Close}); }

    private:
        Application& app_;
    };

    platform::Expected<void> start(const StartOptions& options);
    // The frame's size as the options and the window have it now.
    FrameSize frameSizeNow();
    PieceScreen screenFor(FrameSize frame) const;
    uint32_t chosenMultisamples() const;
    // After the window changed size: a frame of the drawable's own size is made anew at the
    // new size, between advances.
    void followDrawableSize();
    void shutDownOutputs();
    platform::Expected<void> openCapture();
    platform::Expected<void> openMidi();
    platform::Expected<void> openVideo();
    platform::Expected<void> openLockstep();
    // This advance's input when one is due: gathered here, or a follower's from its leader.
    std::optional<FrameInput> nextInput();
    std::optional<FrameInput> gatherInput();
    std::optional<FrameInput> leadersInput();
    // Ends the run with status 1 after saying why.
    void endInFailure(const std::string& why);
    ShowStatus showStatus() const;

    PlatformServices services_;
    platform::RemoteKeys keys_{services_.keyboard};
    std::unique_ptr<OutsideSource> showControl_;  // only with --osc-port
    StartOptions options_;
    FramePacer pacer_;
    FrameInput gathered_;                           // what came from outside since the last advance
    std::unique_ptr<InstrumentSource> instrument_;  // only with --instrument
    Screenshots screenshots_;
    VideoRecording video_;
    DrawnFrames drawnFrames_{screenshots_, video_};
    bool failed_ = false;           // the video could not be written, or the leader cannot be followed: status 1
    std::vector<int> waitSockets_;  // what waitForWork waits on besides the window
    // The outside sources, null where one is not open.
    std::array<OutsideSource*, 4> outside() const {
        return {pictureLink.get(), showControl_.get(), leader_.get(), follower_.get()};
    }
    std::unique_ptr<LeaderLink> leader_;      // only with --lead
    std::unique_ptr<FollowerLink> follower_;  // only with --follow
    uint64_t fingerprint_ = 0;                // of the data set, with --lead or --follow
    std::chrono::microseconds drawTime_{};    // an advance's drawing and showing, smoothed
    uint64_t advances_ = 0;
    bool resizePending_ = false;
    int failureStatus_ = 1;
    Stage stage_{*this};
    std::unique_ptr<platform::ServiceNotifier> service_ = std::make_unique<platform::NullServiceNotifier>();
};

}  // namespace glassfalls
