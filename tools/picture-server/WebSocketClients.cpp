// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/picture-server/WebSocketClients.h"

#include <libwebsockets.h>

#include <cstring>

namespace picture_server {

namespace {

int onEvent(lws* connection, lws_callback_reasons reason, void*, void*, size_t) {
    auto* clients = static_cast<WebSocketClients*>(lws_context_user(lws_get_context(connection)));
    return clients ? clients->handle(connection, reason) : 0;
}

lws_protocols kProtocols[] = {
    {"glassfalls-pictures", nullptr, 0, 0, 0, nullptr, 0},
    {nullptr, nullptr, 0, 0, 0, nullptr, 0},
};

}  // namespace

WebSocketClients::~WebSocketClients() {
    if (!context_) return;
    stopping_ = true;
    lws_cancel_service(context_);
    service_.join();
    lws_context_destroy(context_);
}

glassfalls::platform::Expected<void> WebSocketClients::listen(uint16_t port) {
    // The server says in its own lines what it does; libwebsockets' would be noise there.
    lws_set_log_level(0, nullptr);
    kProtocols[0].callback = onEvent;
    lws_context_creation_info info;
    std::memset(&info, 0, sizeof info);
    info.port = port;
    info.protocols = kProtocols;
    info.user = this;
    info.gid = -1;
    info.uid = -1;
    context_ = lws_create_context(&info);
    if (!context_) return glassfalls::platform::failure("cannot listen for WebSocket on port " + std::to_string(port));
    service_ = std::thread([this] {
        while (!stopping_) lws_service(context_, 0);
    });
    return {};
}

std::vector<uint32_t> WebSocketClients::connected() const {
    std::lock_guard lock(mutex_);
    std::vector<uint32_t> ids;
    for (const auto& [id, browser] : browsers_) ids.push_back(id);
    return ids;
}

bool WebSocketClients::send(uint32_t id, const std::vector<uint8_t>& picture) {
    {
        std::lock_guard lock(mutex_);
        const auto it = browsers_.find(id);
        if (it == browsers_.end() || it->second.busy) return false;
        Browser& browser = it->second;
        browser.waiting.assign(LWS_PRE, 0);
        browser.waiting.insert(browser.waiting.end(), picture.begin(), picture.end());
        browser.busy = true;
    }
    // The service thread asks for the browser's turn to write once it wakes.
    lws_cancel_service(context_);
    return true;
}

int WebSocketClients::handle(lws* connection, int reason) {
    std::lock_guard lock(mutex_);
    switch (reason) {
        case LWS_CALLBACK_ESTABLISHED: {
            const uint32_t id = nextId_++;
            browsers_[id].connection = connection;
            ids_[connection] = id;
            break;
        }
        case LWS_CALLBACK_CLOSED:
            if (const auto it = ids_.find(connection); it != ids_.end()) {
                browsers_.erase(it->second);
                ids_.erase(it);
            }
            break;
        case LWS_CALLBACK_EVENT_WAIT_CANCELLED:
            for (auto& [id, browser] : browsers_)
                if (browser.busy) lws_callback_on_writable(browser.connection);
            break;
        case LWS_CALLBACK_SERVER_WRITEABLE:
            if (const auto it = ids_.find(connection); it != ids_.end()) {
                Browser& browser = browsers_[it->second];
                if (!browser.busy) break;
                const size_t length = browser.waiting.size() - LWS_PRE;
                browser.busy = false;
                if (lws_write(connection, browser.waiting.data() + LWS_PRE, length, LWS_WRITE_BINARY) <
                    static_cast<int>(length))
                    return -1;
            }
            break;
        default: break;
    }
    return 0;
}

}  // namespace picture_server
