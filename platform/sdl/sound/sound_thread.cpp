// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/sound_thread.h"

#include <cstdio>
#include <new>
#include <system_error>

namespace brz::sdl {

// A channel as the caller sees it: each call is handed to the thread, and
// carried out there on the worker's channel of the same number.
class SoundThread::Channel : public SoundChannel {
 public:
  Channel(SoundThread& thread, int id) : thread_(thread), id_(id) {}
  ~Channel() override {
    thread_.post([&thread = thread_, id = id_] { thread.channels_.erase(id); });
  }
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  void open(const std::string& path) override {
    thread_.post([&thread = thread_, id = id_, path] { thread.channels_.at(id)->open(path); });
  }
  void play() override {
    thread_.post([&thread = thread_, id = id_] { thread.channels_.at(id)->play(); });
  }
  void stop() override {
    thread_.post([&thread = thread_, id = id_] { thread.channels_.at(id)->stop(); });
  }

 private:
  SoundThread& thread_;
  int id_;
};

SoundThread::~SoundThread() {
  begin();
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> hold(lock_);
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void SoundThread::begin() {
  if (thread_.joinable() || failed_) return;
  try {
    thread_ = std::thread([this] { run(); });
  } catch (const std::system_error& error) {
    // Short of memory, most likely: the game plays on in silence.
    std::fprintf(stderr, "brizzlet: no sound: cannot start the sound thread: %s\n",
                 error.code().message().c_str());
    std::lock_guard<std::mutex> hold(lock_);
    failed_ = true;
    requests_.clear();
  }
}

void SoundThread::settle() {
  begin();
  if (failed_) return;
  std::unique_lock<std::mutex> hold(lock_);
  idle_.wait(hold, [&] { return !busy_ && requests_.empty(); });
}

void SoundThread::post(std::function<void()> request) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (failed_) return;
    requests_.push_back(std::move(request));
  }
  wake_.notify_one();
}

std::unique_ptr<SoundChannel> SoundThread::createChannel(const std::string& playerName) {
  int id = channelCount_++;
  post([this, id, playerName] { channels_[id] = worker_->createChannel(playerName); });
  return std::make_unique<Channel>(*this, id);
}

void SoundThread::run() {
  // With no device there is nothing to do; nor after a failure.
  bool broken = !worker_->start();
  for (;;) {
    std::function<void()> request;
    {
      std::unique_lock<std::mutex> hold(lock_);
      busy_ = false;
      idle_.notify_all();
      if (requests_.empty() && !quit_ && !broken) worker_->quiet(true);
      wake_.wait(hold,
                 [&] { return quit_ || !requests_.empty() || (!broken && worker_->hasWork()); });
      if (!requests_.empty()) {
        busy_ = true;
        request = std::move(requests_.front());
        requests_.pop_front();
      } else if (quit_) {
        break;  // every request carried out
      }
    }
    if (broken) continue;  // what is asked is dropped
    try {
      if (request) {
        worker_->quiet(false);
        request();
      } else {
        worker_->work();
      }
    } catch (const std::exception& error) {
      // Short of memory, most likely: the game plays on in silence.
      bool memory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
      std::fprintf(stderr, "brizzlet: no sound from now on: %s\n",
                   memory ? "not enough memory" : error.what());
      broken = true;
    }
  }
  worker_->quiet(false);
  channels_.clear();
  worker_->finish();
}

}  // namespace brz::sdl
