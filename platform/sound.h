// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

namespace brz {

// One media player's voice. Every call returns at once; playback goes on in
// the background. A missing or unplayable file is the player's own affair: it
// stays silent, it never fails the caller.
class SoundChannel {
 public:
  virtual ~SoundChannel() = default;
  // Opens the file and plays it from its start, replacing what was playing.
  virtual void open(const std::string& path) = 0;
  // A playing piece goes on unchanged; an ended or stopped one starts again.
  virtual void play() = 0;
  virtual void stop() = 0;
};

class SoundBackend {
 public:
  virtual ~SoundBackend() = default;
  virtual std::unique_ptr<SoundChannel> createChannel(const std::string& playerName) = 0;
};

// The back end of tests and of the scenario runner, and the fallback when
// there is no audio device: it plays nothing and never fails.
class SilentSound : public SoundBackend {
 public:
  std::unique_ptr<SoundChannel> createChannel(const std::string&) override {
    struct Silent : SoundChannel {
      void open(const std::string&) override {}
      void play() override {}
      void stop() override {}
    };
    return std::make_unique<Silent>();
  }
};

}  // namespace brz
