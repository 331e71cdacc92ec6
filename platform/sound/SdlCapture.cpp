// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>

#include <algorithm>
#include <array>
#include <mutex>

#include "platform/os/MainLoopWake.h"
#include "platform/sound/CaptureSource.h"

namespace glassfalls::platform {

namespace {

// A capture device through SDL, which converts whatever the hardware delivers to the block
// format. The audio thread only assembles blocks; the main thread takes them.
class SdlCapture final : public CaptureSource {
public:
    ~SdlCapture() override {
        if (device_) SDL_CloseAudioDevice(device_);  // waits for the callback to finish
        if (audioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    Expected<void> open(const std::string& name) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return failure(std::string("no audio system: ") + SDL_GetError());
        audioStarted_ = true;
        SDL_AudioSpec wanted{};
        wanted.freq = kCaptureRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 1;
        wanted.samples = kBlockSamples;
        wanted.callback = &SdlCapture::onAudio;
        wanted.userdata = this;
        SDL_AudioSpec obtained{};
        device_ = SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 1, &wanted, &obtained, 0);
        if (device_ == 0) {
            return failure((name.empty() ? std::string("the default microphone") : "the microphone \"" + name + "\"") +
                           " cannot be opened: " + SDL_GetError());
        }
        wakeEvent_ = SDL_RegisterEvents(1);
        SDL_PauseAudioDevice(device_, 0);
        return {};
    }

    // SDL stops a device that was unplugged.
    bool lost() const override { return SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED; }

    bool takeBlock(uint32_t, MicrophoneBlock& block) override {
        std::lock_guard lock(mutex_);
        if (held_ == 0) return false;
        block = ready_[oldest_];
        oldest_ = (oldest_ + 1) % kKept;
        --held_;
        return true;
    }

private:
    // Audio thread. Touches only the block being assembled and, under the lock, the ring, which
    // is made once, so handing a block over allocates nothing.
    static void SDLCALL onAudio(void* user, Uint8* stream, int length) {
        auto* self = static_cast<SdlCapture*>(user);
        const auto* samples = reinterpret_cast<const int16_t*>(stream);
        const int count = length / static_cast<int>(sizeof(int16_t));
        for (int i = 0; i < count;) {
            const int take = std::min(count - i, kBlockSamples - self->filled_);
            std::copy_n(samples + i, take, self->assembling_.begin() + self->filled_);
            self->filled_ += take;
            i += take;
            if (self->filled_ == kBlockSamples) {
                self->filled_ = 0;
                self->publish();
            }
        }
    }

    void publish() {
        {
            std::lock_guard lock(mutex_);
            // Only the newest sound matters to the performers: behind a stalled main thread the
            // oldest block is overwritten.
            if (held_ == kKept) {
                oldest_ = (oldest_ + 1) % kKept;
                --held_;
            }
            ready_[(oldest_ + held_) % kKept] = assembling_;
            ++held_;
        }
        // Wakes the message loop, in its own wait and in SDL's; the event carries nothing.
        wakeTheMainLoop();
        if (wakeEvent_ != static_cast<Uint32>(-1)) {
            SDL_Event e{};
            e.type = wakeEvent_;
            SDL_PushEvent(&e);
        }
    }

    bool audioStarted_ = false;
    SDL_AudioDeviceID device_ = 0;
    Uint32 wakeEvent_ = static_cast<Uint32>(-1);
    std::array<int16_t, kBlockSamples> assembling_{};
    int filled_ = 0;
    std::mutex mutex_;
    // The blocks waiting for the main thread, oldest first from `oldest_`: a ring made once.
    static constexpr size_t kKept = 4;
    std::array<std::array<int16_t, kBlockSamples>, kKept> ready_{};
    size_t oldest_ = 0;
    size_t held_ = 0;
};

}  // namespace

Expected<std::unique_ptr<CaptureSource>> openDeviceCapture(const std::string& deviceName) {
    auto capture = std::make_unique<SdlCapture>();
    if (auto opened = capture->open(deviceName); !opened) return failure(opened.error());
    return capture;
}

std::vector<std::string> listCaptureDevices(std::string* defaultDevice) {
    std::vector<std::string> names;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return names;
    const int count = SDL_GetNumAudioDevices(1);
    for (int i = 0; i < count; ++i) {
        if (const char* name = SDL_GetAudioDeviceName(i, 1)) names.emplace_back(name);
    }
    char* name = nullptr;
    SDL_AudioSpec spec;
    if (defaultDevice && SDL_GetDefaultAudioInfo(&name, &spec, 1) == 0 && name) {
        *defaultDevice = name;
        SDL_free(name);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return names;
}

}  // namespace glassfalls::platform
