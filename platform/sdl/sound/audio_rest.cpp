// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/audio_rest.h"

namespace brz::sdl {

namespace {

// After this long with nothing playing the audio thread rests.
constexpr int kRestAfterSeconds = 2;

}  // namespace

void AudioRest::allow(bool may) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    mayRest_ = may;
  }
  if (!may) wake_.notify_one();
}

void AudioRest::afterBuffer(bool sounding, std::uint64_t frames, int rate) {
  if (sounding) {
    silentFrames_ = 0;
    return;
  }
  silentFrames_ += frames;
  if (silentFrames_ < static_cast<std::uint64_t>(kRestAfterSeconds) * rate) return;
  std::unique_lock<std::mutex> hold(lock_);
  wake_.wait(hold, [&] { return !mayRest_; });
  silentFrames_ = 0;
}

}  // namespace brz::sdl
