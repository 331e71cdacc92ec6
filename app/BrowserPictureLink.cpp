// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BrowserPictureLink.h"

#include <emscripten/websocket.h>

#include <cstdio>

#include "platform/os/Clock.h"

namespace glassfalls {

namespace {

EM_BOOL onOpen(int, const EmscriptenWebSocketOpenEvent*, void* link) {
    static_cast<BrowserPictureLink*>(link)->received(nullptr, 0);
    return EM_TRUE;
}

EM_BOOL onMessage(int, const EmscriptenWebSocketMessageEvent* event, void* link) {
    if (!event->isText) static_cast<BrowserPictureLink*>(link)->received(event->data, event->numBytes);
    return EM_TRUE;
}

EM_BOOL onClose(int, const EmscriptenWebSocketCloseEvent*, void* link) {
    static_cast<BrowserPictureLink*>(link)->closed();
    return EM_TRUE;
}

}  // namespace

BrowserPictureLink::~BrowserPictureLink() {
    if (socket_ > 0) emscripten_websocket_delete(socket_);
}

void BrowserPictureLink::connect(uint32_t now) {
    tried_ = true;
    lastTry_ = now;
    EmscriptenWebSocketCreateAttributes attributes;
    emscripten_websocket_init_create_attributes(&attributes);
    attributes.url = url_.c_str();
    attributes.protocols = "glassfalls-pictures";
    const EMSCRIPTEN_WEBSOCKET_T socket = emscripten_websocket_new(&attributes);
    if (socket <= 0) return;
    socket_ = socket;
    emscripten_websocket_set_onopen_callback(socket_, this, onOpen);
    emscripten_websocket_set_onmessage_callback(socket_, this, onMessage);
    emscripten_websocket_set_onclose_callback(socket_, this, onClose);
}

void BrowserPictureLink::received(const uint8_t* bytes, size_t length) {
    if (!connected_ && saidGone_) std::fprintf(stderr, "glassfalls: %s is back\n", name().c_str());
    connected_ = true;
    saidGone_ = false;
    // Anything but a whole picture is not one.
    if (length != kPictureBytes) return;
    newest_.assign(bytes, bytes + length);
    fresh_ = true;
}

void BrowserPictureLink::closed() {
    if (socket_ > 0) emscripten_websocket_delete(socket_);
    socket_ = 0;
    if (!saidGone_) {
        std::fprintf(stderr, "glassfalls: %s cannot be reached; its pictures wait until it can\n", name().c_str());
        saidGone_ = true;
    }
    connected_ = false;
}

void BrowserPictureLink::poll(uint32_t now, FrameInput& gathered) {
    if (socket_ == 0 && (!tried_ || platform::ticksUntil(lastTry_, now) >= static_cast<int32_t>(kRetryMs)))
        connect(now);
    if (!fresh_) return;
    fresh_ = false;
    gathered.picture = newest_;
}

}  // namespace glassfalls
