// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/OutsideSource.h"

namespace glassfalls {

// In a web page: the picture server's newest picture over WebSocket (the server's
// --websocket-port), one binary message of 128 x 128 RGB each. A server that goes away is
// said once and connected to again every few seconds until it is back.
class BrowserPictureLink final : public OutsideSource {
public:
    static constexpr uint32_t kRetryMs = 3000;
    static constexpr size_t kPictureBytes = 128 * 128 * 3;

    explicit BrowserPictureLink(std::string url) : url_(std::move(url)) {}
    ~BrowserPictureLink() override;
    BrowserPictureLink(const BrowserPictureLink&) = delete;
    BrowserPictureLink& operator=(const BrowserPictureLink&) = delete;

    void addSockets(std::vector<int>&) const override {}
    void poll(uint32_t now, FrameInput& gathered) override;
    std::string name() const override { return "the picture server " + url_; }

    // From the browser's callbacks.
    void received(const uint8_t* bytes, size_t length);
    void closed();

private:
    void connect(uint32_t now);

    std::string url_;
    int socket_ = 0;  // the browser's, 0 while there is none
    bool connected_ = false;
    bool saidGone_ = false;
    uint32_t lastTry_ = 0;
    bool tried_ = false;
    std::vector<uint8_t> newest_;
    bool fresh_ = false;
};

}  // namespace glassfalls
