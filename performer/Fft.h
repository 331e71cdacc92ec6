// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "platform/os/Expected.h"

namespace glassfalls {

// In-place complex DFT of a power-of-two number of points, negative exponent, no scaling,
// output in natural order: X[k] = sum x[j] e^(-2 pi i jk / N). Tables are built once in init;
// transform allocates nothing.
class Fft {
public:
    virtual ~Fft() = default;

    // N must be a power of two, at least 2.
    platform::Expected<void> init(int n);
    // `data`: N interleaved complex values (real at 2i, imaginary at 2i + 1).
    void transform(float* data) const;

    int size() const { return n_; }

private:
    int n_ = 0;
    std::vector<int> bitReverse_;  // index j's partner after bit reversal
    std::vector<float> twiddles_;  // cos and -sin of 2 pi k / N, interleaved, k < N/2
};

}  // namespace glassfalls
