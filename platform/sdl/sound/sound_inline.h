// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/sdl/sound/sound_thread.h"

namespace brz::sdl {

// A sound back end whose requests are carried out at once, on the caller's
// thread: for a platform with no threads, such as the browser, where the
// audio callback runs on that thread too. It runs the same Worker as
// SoundThread, and keeps its order: the requests made before begin() are
// carried out then. The worker's own work (a piece of music made) is done a
// slice at a time, when the caller has time for it: made whole within a
// request, it would hold the caller up for as long as it takes. With no
// thread to rest, the audio device never rests either.
class InlineSound : public SoundBackend {
 public:
  explicit InlineSound(std::unique_ptr<SoundThread::Worker> worker) : worker_(std::move(worker)) {}
  // Every request made is carried out first, also when it was never begun.
  ~InlineSound() override;
  InlineSound(const InlineSound&) = delete;
  InlineSound& operator=(const InlineSound&) = delete;

  // Starts the worker, if it has not started.
  void begin();
  // Every request is carried out once begun.
  void settle() { begin(); }
  // A slice of the worker's own work, if it has any; true while some is left.
  bool work();
  std::unique_ptr<SoundChannel> createChannel(const std::string& playerName) override;

 private:
  class Channel;
  void post(std::function<void()> request);

  std::unique_ptr<SoundThread::Worker> worker_;
  std::map<int, std::unique_ptr<SoundChannel>> channels_;
  std::deque<std::function<void()>> waiting_;  // asked before begin()
  int channelCount_ = 0;
  bool started_ = false;
};

}  // namespace brz::sdl
