// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/sound.h"

namespace brz::sdl {

// A sound back end run on a thread of its own: opening the audio device and
// loading a soundfont take a few hundred milliseconds, which the window
// thread spends drawing the first frame instead. Every call returns at once;
// the thread carries the calls out in the order they were made, those made
// before the device was ready as soon as it is.
//
// The back end it runs is a Worker, used on that thread only. A platform
// whose sound needs no thread of its own uses its back end directly.
class SoundThread : public SoundBackend {
 public:
  class Worker : public SoundBackend {
   public:
    // First, on the thread: opening the device. False when it can play
    // nothing (no device, said once): what is asked of it is then dropped.
    virtual bool start() = 0;
    // Whether it has work of its own between requests, and a slice of it: a
    // request waits for no more than one slice.
    virtual bool hasWork() const = 0;
    virtual void work() = 0;
    // Told that nothing is asked of it for now (true), or that a request
    // comes (false).
    virtual void quiet(bool quiet) = 0;
    // Last, once every request is carried out and every channel is gone.
    virtual void finish() = 0;
  };

  explicit SoundThread(std::unique_ptr<Worker> worker) : worker_(std::move(worker)) {}
  // Every request made is carried out first, also when the thread was never
  // begun.
  ~SoundThread() override;
  SoundThread(const SoundThread&) = delete;
  SoundThread& operator=(const SoundThread&) = delete;

  // Starts the thread, if it has not started. A thread that cannot start
  // leaves the back end silent, said once.
  void begin();
  // Returns when every request made so far is carried out.
  void settle();
  std::unique_ptr<SoundChannel> createChannel(const std::string& playerName) override;

 private:
  class Channel;
  void post(std::function<void()> request);
  void run();

  // The window thread's.
  int channelCount_ = 0;
  // The sound thread's.
  std::unique_ptr<Worker> worker_;
  std::map<int, std::unique_ptr<SoundChannel>> channels_;
  // Shared, under `lock_`.
  std::mutex lock_;
  std::condition_variable wake_, idle_;
  std::deque<std::function<void()>> requests_;
  bool busy_ = true;  // carrying out a request, or starting
  bool quit_ = false;
  bool failed_ = false;  // the thread could not start
  std::thread thread_;
};

}  // namespace brz::sdl
