#pragma once

#include <cstdint>
#include <string>

#include "platform/gfx/GraphicsDevice.h"

namespace glassfalls {

// Writes the drawn frame as DIR/frame-NNNNNN.png after every K-th scene advance.
class Screenshots {
public:
    // Creates the directory if needed. False with the reason when it cannot be used.
    bool open(const std::string& directory, uint64_t every, std::string& error);
    // Takes the screenshot if this advance is due; after a failed write, says so once on
    // standard error and takes no more.
    void afterAdvance(uint64_t advance, platform::gfx::GraphicsDevice& device);

    static std::string fileName(uint64_t advance);

private:
    std::string directory_;
    uint64_t every_ = 0;  // 0: off
};

}  // namespace glassfalls
