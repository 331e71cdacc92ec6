// SPDX-License-Identifier: GPL-3.0-or-later
#include "performer/Fft.h"

#include <cmath>
#include <utility>

namespace glassfalls {

platform::Expected<void> Fft::init(int n) {
    if (n < 2 || (n & (n - 1)) != 0) return platform::failure("an FFT needs a power of two, not " + std::to_string(n));
    n_ = n;
    bitReverse_.assign(static_cast<size_t>(n), 0);
    int bits = 0;
    while ((1 << bits) < n) ++bits;
    for (int i = 0; i < n; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1) << (bits - 1 - b);
        bitReverse_[static_cast<size_t>(i)] = r;
    }
    twiddles_.assign(static_cast<size_t>(n), 0.0f);
    const double pi = 3.14159265358979323846;
    for (int k = 0; k < n / 2; ++k) {
        const double angle = 2.0 * pi * k / n;
        twiddles_[2 * static_cast<size_t>(k)] = static_cast<float>(std::cos(angle));
        twiddles_[2 * static_cast<size_t>(k) + 1] = static_cast<float>(-std::sin(angle));
    }
    return {};
}

void Fft::transform(float* data) const {
    for (int i = 0; i < n_; ++i) {
        const int j = bitReverse_[static_cast<size_t>(i)];
        if (j > i) {
            std::swap(data[2 * i], data[2 * j]);
            std::swap(data[2 * i + 1], data[2 * j + 1]);
        }
    }
    // Iterative radix-2 butterflies; the twiddle for span `half` steps through the table
    // with stride N / (2 half).
    for (int half = 1; half < n_; half *= 2) {
        const int stride = n_ / (2 * half);
        for (int start = 0; start < n_; start += 2 * half) {
            for (int k = 0; k < half; ++k) {
                const float wr = twiddles_[2 * static_cast<size_t>(k * stride)];
                const float wi = twiddles_[2 * static_cast<size_t>(k * stride) + 1];
                float* a = data + 2 * (start + k);
                float* b = data + 2 * (start + k + half);
                const float tr = b[0] * wr - b[1] * wi;
                const float ti = b[0] * wi + b[1] * wr;
                b[0] = a[0] - tr;
                b[1] = a[1] - ti;
                a[0] += tr;
                a[1] += ti;
            }
        }
    }
}

}  // namespace glassfalls
