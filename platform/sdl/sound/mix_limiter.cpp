// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/mix_limiter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace brz::sdl {

namespace {

// The highest sample the limiter lets through, a little below full scale.
constexpr float kCeiling = 32000;
// How long the limiter takes to come back up, in seconds.
constexpr float kReleaseSeconds = 0.2f;

}  // namespace

void MixLimiter::process(std::int16_t* samples, size_t frames, int channels, int rate,
                         int headroom) {
  // Each frame's gain reaches 1 from 0 in kReleaseSeconds, in a straight line.
  float release = 1 / (kReleaseSeconds * static_cast<float>(rate));
  for (size_t frame = 0; frame < frames; ++frame, samples += channels) {
    int peak = 0;
    for (int c = 0; c < channels; ++c) peak = std::max(peak, std::abs(int{samples[c]}));
    float loudest = static_cast<float>(peak * headroom);
    gain_ = std::min(gain_ + release, 1.0f);
    if (loudest * gain_ > kCeiling) gain_ = kCeiling / loudest;
    for (int c = 0; c < channels; ++c)
      samples[c] = static_cast<std::int16_t>(std::lround(samples[c] * headroom * gain_));
  }
}

}  // namespace brz::sdl
