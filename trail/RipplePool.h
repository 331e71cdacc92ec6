#pragma once

namespace glassfalls {

// The water rings. Holds its place in the world until the rings themselves are built
// (issue 7); until then the pool is always empty.
class RipplePool {
public:
    bool init() { return true; }
};

}  // namespace glassfalls
