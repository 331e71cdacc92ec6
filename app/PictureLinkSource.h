// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/OutsideSource.h"
#include "net/ImageNetLink.h"

namespace glassfalls {

// The picture server's newest picture, for the next advance.
class PictureLinkSource final : public OutsideSource {
public:
    // Connects in the background, trying again until the server answers.
    platform::Expected<void> open(const std::string& host, int32_t port);
    void addSockets(std::vector<int>& sockets) const override { link_.addSockets(sockets); }
    void poll(uint32_t now, FrameInput& gathered) override;
    std::string name() const override;

private:
    ImageNetLink link_;
};

}  // namespace glassfalls
