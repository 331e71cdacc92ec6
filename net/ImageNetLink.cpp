// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/ImageNetLink.h"

#include <algorithm>
#include <new>

namespace glassfalls {

platform::Expected<void> ImageNetLink::open(const std::string& host, int32_t port) {
    try {
        frameBuffer.assign(kPictureBytes, 0);
        udpBuffer_.assign(kPictureBytes, 0);
    } catch (const std::bad_alloc&) {
        return platform::failure("no memory for the network picture");
    }
    return NetLink::open(host, port);
}

const uint8_t* ImageNetLink::takeNewPicture() {
    if (picturesTaken_ == picturesReceived) return nullptr;
    picturesTaken_ = picturesReceived;
    return frameBuffer.data();
}

void ImageNetLink::onUdpRead() {
    if (!udp_) return;
    for (int i = 0; i < kDatagramsPerPass; ++i) {
        platform::net::Endpoint from;
        const long n = udp_.receiveFrom(udpBuffer_, from);
        if (n < 0) break;
        // Only the server may put a picture on the floor; its source port is its own affair.
        if (static_cast<size_t>(n) != kPictureBytes || from.address != serverAddress_.address) continue;
        // Handed over, not copied: the next datagram is read into the old picture's buffer.
        frameBuffer.swap(udpBuffer_);
        pictureReady = true;
        ++picturesReceived;
        pictureArrived();
    }
}

}  // namespace glassfalls
