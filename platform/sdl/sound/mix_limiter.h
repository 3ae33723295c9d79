// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace brz::sdl {

// The mix's last stage, so that players sounding together never clip. Each
// source plays turned down by the number of players that can sound at once
// (each plays one sound at a time), so that SDL_mixer's sums stay below full
// scale; here the mix is turned up again by as much. A sound alone comes out
// as loud as its file. Where sounds together would pass full scale, the
// limiter turns the whole mix down at once and back up over a fifth of a
// second: a moment quieter, never a clipped wave.
class MixLimiter {
 public:
  // `samples`: 16-bit, `channels` to a frame, at `rate` frames a second,
  // mixed at 1 / `headroom` of their level; changed in place.
  void process(std::int16_t* samples, size_t frames, int channels, int rate, int headroom);

 private:
  float gain_ = 1;  // the limiter's own, at most 1
};

}  // namespace brz::sdl
