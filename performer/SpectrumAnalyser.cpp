// SPDX-License-Identifier: GPL-3.0-or-later
#include "performer/SpectrumAnalyser.h"

#include <cmath>

namespace glassfalls {

namespace {
constexpr float kTwoPi = 6.2831802f;         // the stored single-precision constant
constexpr float kFullScaleRms = 23170.475f;  // 32768 / sqrt(2)
}  // namespace

platform::Expected<void> SpectrumAnalyser::init(int n) {
    size_ = n;
    GLASSFALLS_TRY(fft.init(n));
    levels.assign(2 * static_cast<size_t>(n), 0.0f);
    window_.resize(static_cast<size_t>(n));
    work_.assign(2 * static_cast<size_t>(n), 0.0f);
    for (int i = 0; i < n; ++i) {
        window_[static_cast<size_t>(i)] =
            0.5f - 0.5f * std::cos(static_cast<float>(i) * kTwoPi / static_cast<float>(n));
    }
    return {};
}

bool SpectrumAnalyser::analyse(std::span<const int16_t> samples, float floor) {
    const size_t n = static_cast<size_t>(size_);
    for (size_t i = 0; i < n; ++i) {
        work_[2 * i] = i < samples.size() ? window_[i] * static_cast<float>(samples[i]) : 0.0f;
        work_[2 * i + 1] = 0.0f;
    }
    fft.transform(work_.data());
    const float ref = static_cast<float>(size_ / 2) * kFullScaleRms;
    for (size_t k = 0; k < n / 2; ++k) {
        const float re = work_[2 * k], im = work_[2 * k + 1];
        const float r = std::abs(std::sqrt(re * re + im * im)) / ref;
        float d = r != 0.0f ? 40.0f * std::log10(r) : -floor;
        if (d < -floor) d = -floor;
        levels[k] = -d;
    }
    return true;
}

}  // namespace glassfalls
