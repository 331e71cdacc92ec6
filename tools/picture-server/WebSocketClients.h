// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/os/Expected.h"

struct lws;
struct lws_context;

namespace picture_server {

// The pieces in web browsers, which reach the server only over WebSocket: each gets a
// picture as one binary message when its turn in the round comes. libwebsockets serves them
// on a thread of its own, whose wait only libwebsockets can end; the server's loop hands a
// picture over and wakes it. A browser still taking its last picture loses the next one,
// and nobody else's.
class WebSocketClients {
public:
    WebSocketClients() = default;
    ~WebSocketClients();
    WebSocketClients(const WebSocketClients&) = delete;
    WebSocketClients& operator=(const WebSocketClients&) = delete;

    // Listens on `port` of every address. Fails, saying why, when the port is taken.
    glassfalls::platform::Expected<void> listen(uint16_t port);
    // The browsers connected now, by an id of their own.
    std::vector<uint32_t> connected() const;
    // Hands `picture` to browser `id`; false when it is still taking the last one, or gone.
    bool send(uint32_t id, const std::vector<uint8_t>& picture);

    // What libwebsockets tells of a connection, on its thread.
    int handle(lws* connection, int reason);

private:
    struct Browser {
        lws* connection = nullptr;
        std::vector<uint8_t> waiting;  // with libwebsockets' room in front
        bool busy = false;             // `waiting` not yet written
    };

    lws_context* context_ = nullptr;
    std::thread service_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::map<uint32_t, Browser> browsers_;
    std::map<lws*, uint32_t> ids_;
    uint32_t nextId_ = 1;
};

}  // namespace picture_server
