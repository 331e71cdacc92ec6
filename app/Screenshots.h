// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/Expected.h"

namespace glassfalls {

// Writes the drawn frame as DIR/frame-NNNNNN.png after every K-th scene advance.
class Screenshots {
public:
    // Creates the directory if needed. False with the reason when it cannot be used.
    platform::Expected<void> open(const std::string& directory, uint64_t every);
    // Whether the frame of this advance is to be taken.
    bool wants(uint64_t advance) const { return every_ != 0 && advance % every_ == 0; }
    // Writes the frame of `advance` (width x height 0xAARRGGBB texels, row 0 at the top);
    // after a failed write, says so once on standard error and takes no more.
    void take(uint64_t advance, int width, int height, std::vector<uint32_t>& texels);

    static std::string fileName(uint64_t advance);

private:
    std::string directory_;
    uint64_t every_ = 0;  // 0: off
};

}  // namespace glassfalls
