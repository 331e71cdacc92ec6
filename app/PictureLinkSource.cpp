// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PictureLinkSource.h"

namespace glassfalls {

platform::Expected<void> PictureLinkSource::open(const std::string& host, int32_t port) {
    return link_.open(host, port);
}

void PictureLinkSource::poll(uint32_t now, FrameInput& gathered) {
    link_.poll(now);
    if (const uint8_t* picture = link_.takeNewPicture())
        gathered.picture.assign(picture, picture + ImageNetLink::kPictureBytes);
}

std::string PictureLinkSource::name() const {
    return "the picture server " + link_.host() + ":" + std::to_string(link_.port());
}

}  // namespace glassfalls
