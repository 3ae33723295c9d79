// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/sound_inline.h"

namespace brz::sdl {

// A channel as the caller sees it: each call is carried out on the worker's
// channel of the same number, at once or at begin().
class InlineSound::Channel : public SoundChannel {
 public:
  Channel(InlineSound& sound, int id) : sound_(sound), id_(id) {}
  ~Channel() override {
    sound_.post([&sound = sound_, id = id_] { sound.channels_.erase(id); });
  }
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  void open(const std::string& path) override {
    sound_.post([&sound = sound_, id = id_, path] { sound.channels_.at(id)->open(path); });
  }
  void play() override {
    sound_.post([&sound = sound_, id = id_] { sound.channels_.at(id)->play(); });
  }
  void stop() override {
    sound_.post([&sound = sound_, id = id_] { sound.channels_.at(id)->stop(); });
  }

 private:
  InlineSound& sound_;
  int id_;
};

InlineSound::~InlineSound() {
  begin();
  channels_.clear();
  worker_->finish();
}

void InlineSound::begin() {
  if (started_) return;
  started_ = true;
  worker_->start();
  for (; !waiting_.empty(); waiting_.pop_front()) waiting_.front()();
}

void InlineSound::post(std::function<void()> request) {
  if (started_)
    request();
  else
    waiting_.push_back(std::move(request));
}

bool InlineSound::work() {
  if (!started_ || !worker_->hasWork()) return false;
  worker_->work();
  return worker_->hasWork();
}

std::unique_ptr<SoundChannel> InlineSound::createChannel(const std::string& playerName) {
  int id = channelCount_++;
  post([this, id, playerName] { channels_[id] = worker_->createChannel(playerName); });
  return std::make_unique<Channel>(*this, id);
}

}  // namespace brz::sdl
