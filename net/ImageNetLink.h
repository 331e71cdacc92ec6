// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "net/NetLink.h"

namespace glassfalls {

// The picture link: keeps the newest whole 128 x 128 RGB picture the server sent.
class ImageNetLink final : public NetLink {
public:
    static constexpr size_t kPictureBytes = 128 * 128 * 3;
    // At most this many datagrams are read per pass of the main loop, so that a flood never
    // holds up a frame.
    static constexpr int kDatagramsPerPass = 64;

    platform::Expected<void> open(const std::string& host, int32_t port) override;

    // The newest picture when one came since the last call (kPictureBytes, row 0 first);
    // null otherwise.
    const uint8_t* takeNewPicture();

    bool pictureReady = false;  // a picture has arrived; never cleared
    uint64_t picturesReceived = 0;
    std::vector<uint8_t> frameBuffer;  // the newest picture, kPictureBytes once open

protected:
    // Keeps a datagram of exactly kPictureBytes from the server's address; drops the rest.
    void onUdpRead() override;

private:
    std::vector<uint8_t> udpBuffer_;
    uint64_t picturesTaken_ = 0;
};

}  // namespace glassfalls
