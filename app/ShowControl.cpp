// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ShowControl.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace glassfalls {

namespace {

using platform::Key;

constexpr size_t kPacketsPerPoll = 64;
constexpr size_t kReasonsSaid = 32;  // beyond these a sender gone wrong is not said at all
constexpr auto kRateWindow = std::chrono::seconds(10);

// A key message's one argument: true for 1 (press), false for 0 (release); nothing when it
// is neither.
std::optional<bool> pressOf(const platform::OscMessage& message) {
    if (message.types.size() != 1 || message.numbers.size() != 1) return std::nullopt;
    if (message.numbers[0] == 1) return true;
    if (message.numbers[0] == 0) return false;
    return std::nullopt;
}

}  // namespace

platform::Expected<void> ShowControl::open(int port) {
    opened_ = Clock::now();
    port_ = port;
    return server_.open(port);
}

void ShowControl::addSockets(std::vector<int>& sockets) const {
    if (server_.isOpen()) sockets.push_back(server_.socket());
}

void ShowControl::poll(uint32_t, FrameInput&) {
    if (!server_.isOpen()) return;
    std::vector<std::string> unreadable;
    for (const platform::OscMessage& message : server_.receive(kPacketsPerPoll, unreadable)) handle(message);
    for (const std::string& why : unreadable) ignore("a packet that is not OSC: " + why);
}

void ShowControl::handle(const platform::OscMessage& message) {
    const std::string& path = message.path;
    // Enter and Escape are taps. A button that also sends 0 when it is let go does not tap
    // twice.
    if (path == "/glassfalls/enter" || path == "/glassfalls/escape") {
        const auto press = message.types.empty() ? std::optional<bool>(true) : pressOf(message);
        if (!press) return ignore(path + " with arguments " + message.types + ": it takes none");
        if (*press) keys_.tap(path == "/glassfalls/enter" ? Key::Enter : Key::Escape);
    } else if (path == "/glassfalls/left" || path == "/glassfalls/right") {
        const auto press = pressOf(message);
        if (!press) return ignore(path + " with arguments " + message.types + ": it takes one, 1 or 0");
        keys_.hold(path == "/glassfalls/left" ? Key::Left : Key::Right, *press);
    } else if (path == "/glassfalls/status") {
        reply(message);
    } else if (path == "/glassfalls/note") {
        play(message);
    } else {
        ignore(path + ": not an address of the piece");
    }
}

void ShowControl::reply(const platform::OscMessage& request) {
    std::string port = request.senderPort;
    if (!request.types.empty()) {
        const bool given = request.types == "i" && request.numbers[0] >= 1 && request.numbers[0] <= 65535;
        if (!given) return ignore("/glassfalls/status with arguments " + request.types + ": it takes none or i PORT");
        port = std::to_string(static_cast<int>(request.numbers[0]));
    }
    const ShowStatus now = status_();
    if (!server_.send(request.senderHost, port, "/glassfalls/status",
                      {now.scene, now.performers, now.framesDrawn, framesPerSecond()})) {
        ignore("a status request: the reply to " + request.senderHost + ":" + port + " could not be sent");
    }
}

void ShowControl::play(const platform::OscMessage& message) {
    if (!notes_) return ignore("/glassfalls/note: the piece was not started with --instrument osc");
    const bool given = message.types.size() == 2 && message.numbers.size() == 2 && message.numbers[0] >= 0 &&
                       message.numbers[0] <= 127 && message.numbers[1] >= 0 && message.numbers[1] <= 127;
    if (!given) {
        return ignore("/glassfalls/note with arguments " + message.types +
                      ": it takes i NOTE i VELOCITY, each 0 ... 127 (velocity 0 lets the note go)");
    }
    // One instrument on one channel: a show computer's note-on and note-off pair up by note.
    notes_->press(0, static_cast<uint8_t>(message.numbers[0]), static_cast<uint8_t>(message.numbers[1]));
}

void ShowControl::ignore(const std::string& why) {
    if (said_.size() >= kReasonsSaid || !said_.insert(why).second) return;
    std::fprintf(stderr, "glassfalls: OSC: ignored %s (said once)\n", why.c_str());
}

void ShowControl::frameAdvanced() {
    if (!server_.isOpen()) return;
    recentFrames_.push_back(Clock::now());
    forgetFramesBefore(recentFrames_.back() - kRateWindow);
}

void ShowControl::forgetFramesBefore(Clock::time_point start) {
    while (!recentFrames_.empty() && recentFrames_.front() < start) recentFrames_.pop_front();
}

float ShowControl::framesPerSecond() {
    // Over the last 10 s, or over the time since opening while that is shorter; a piece that
    // stopped advancing has its old frames forgotten here.
    const Clock::time_point now = Clock::now();
    forgetFramesBefore(now - kRateWindow);
    const double seconds = std::chrono::duration<double>(std::min<Clock::duration>(now - opened_, kRateWindow)).count();
    return seconds > 0 ? static_cast<float>(static_cast<double>(recentFrames_.size()) / seconds) : 0.0f;
}

}  // namespace glassfalls
