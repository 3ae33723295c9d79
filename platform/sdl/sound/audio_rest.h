// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace brz::sdl {

// SDL's audio thread wakes for every buffer and runs the mixer, also when
// nothing plays (pausing the device does not change that): once nothing has
// played for a while it waits here instead, holding the mixer's lock, until
// the sound thread has something for the mixer. What the mixer is then asked
// to play starts with the buffer after this one, as promptly as from a
// device that never rested.
class AudioRest {
 public:
  // On the sound thread. The audio thread may rest only while allowed; a
  // request that touches the mixer first forbids it, waking the audio thread:
  // each of the mixer's calls waits for the mixer's lock, which a resting
  // audio thread holds.
  void allow(bool may);
  // On the audio thread, for each buffer of `frames` at `rate` frames a
  // second: rests when nothing has sounded for long enough.
  void afterBuffer(bool sounding, std::uint64_t frames, int rate);

 private:
  std::mutex lock_;
  std::condition_variable wake_;
  bool mayRest_ = false;            // under lock_
  std::uint64_t silentFrames_ = 0;  // the audio thread's: frames since the last sound
};

}  // namespace brz::sdl
