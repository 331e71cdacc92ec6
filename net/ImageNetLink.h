#pragma once

#include <cstdint>
#include <string>

#include "platform/window/Message.h"

namespace glassfalls {

// The connection to the picture server named in the settings file. Until the network link
// lands it connects to nothing and never receives a picture.
class ImageNetLink {
public:
    static constexpr int kConnectingRole = 1;

    virtual ~ImageNetLink() = default;

    virtual bool open(int role, const std::string& host, int32_t port) {
        (void)role;
        host_ = host;
        port_ = port;
        return true;
    }
    // Sees every window message first; acts only on its own socket messages.
    virtual void handleMessage(const platform::Message& message) { (void)message; }

    const std::string& host() const { return host_; }
    int32_t port() const { return port_; }

private:
    std::string host_;
    int32_t port_ = 0;
};

}  // namespace glassfalls
