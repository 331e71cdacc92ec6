// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/Expected.h"

namespace glassfalls::platform {

// 100 ms of sound: 800 signed 16-bit samples, mono, 8000 per second.
inline constexpr int kCaptureRate = 8000;
inline constexpr int kBlockSamples = 800;
inline constexpr int kBlockBytes = kBlockSamples * 2;
inline constexpr uint32_t kBlockMs = 100;

// One such block, as it goes from the capture to the world.
using MicrophoneBlock = std::array<int16_t, kBlockSamples>;

// Where microphone blocks come from. All calls on the main thread; a device backend records
// on its own thread and keeps finished blocks until asked.
class CaptureSource {
public:
    virtual ~CaptureSource() = default;

    // Copies the oldest finished block into `block` if one is ready at `now` on the program's
    // clock.
    virtual bool takeBlock(uint32_t now, MicrophoneBlock& block) = 0;

    // When the next block will be ready, for sources that follow the program's clock; devices
    // answer nothing and wake the message loop themselves.
    virtual std::optional<uint32_t> nextBlockDue() const { return std::nullopt; }

    // True once the device has gone (unplugged); it delivers nothing more.
    virtual bool lost() const { return false; }
    // True once a recording has delivered its last sound; a device never ends.
    virtual bool ended() const { return false; }
};

// Never delivers a block: the piece hears silence.
class SilentCapture final : public CaptureSource {
public:
    bool takeBlock(uint32_t, MicrophoneBlock&) override { return false; }
};

// The capture device called `deviceName` (empty: the system's default), converted to the
// block format.
Expected<std::unique_ptr<CaptureSource>> openDeviceCapture(const std::string& deviceName);

// The names of the capture devices SDL can see, and the one it opens by default when it can
// tell (left empty otherwise).
std::vector<std::string> listCaptureDevices(std::string* defaultDevice = nullptr);

// In a web page: the visitor's microphone, once they allow it; silence until then.
std::unique_ptr<CaptureSource> openBrowserCapture();

// A WAV file played as the microphone: any rate and channel count, converted; block k
// (from 1) is ready at start + k x 100 ms, and silence follows the end of the file.
Expected<std::unique_ptr<CaptureSource>> openWavCapture(const std::string& path, uint32_t start);

// The conversion and pacing of openWavCapture, for samples already at 8000 Hz mono.
std::unique_ptr<CaptureSource> makeClockedCapture(std::vector<int16_t> samples, uint32_t start);

}  // namespace glassfalls::platform
