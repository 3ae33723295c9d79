// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/sound_thread.h"

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
  {
    std::lock_guard<std::mutex> hold(lock_);
    quit_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void SoundThread::begin() {
  if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
}

void SoundThread::settle() {
  begin();
  std::unique_lock<std::mutex> hold(lock_);
  idle_.wait(hold, [&] { return !busy_ && requests_.empty(); });
}

void SoundThread::post(std::function<void()> request) {
  {
    std::lock_guard<std::mutex> hold(lock_);
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
  worker_->start();
  for (;;) {
    std::function<void()> request;
    {
      std::unique_lock<std::mutex> hold(lock_);
      busy_ = false;
      idle_.notify_all();
      if (requests_.empty() && !quit_) worker_->quiet(true);
      wake_.wait(hold, [&] { return quit_ || !requests_.empty() || worker_->hasWork(); });
      if (!requests_.empty()) {
        busy_ = true;
        request = std::move(requests_.front());
        requests_.pop_front();
      } else if (quit_) {
        break;  // every request carried out
      }
    }
    if (request) {
      worker_->quiet(false);
      request();
    } else {
      worker_->work();
    }
  }
  worker_->quiet(false);
  channels_.clear();
  worker_->finish();
}

}  // namespace brz::sdl
