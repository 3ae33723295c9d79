// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "platform/sound.h"

namespace brz::sdl {

// The media players for real, through SDL2_mixer. Each player plays one file
// at a time: a WAV on a mixer channel of its own, so that a new shot cuts the
// previous one; a MIDI piece on the mixer's one music stream, synthesized
// once through FluidSynth and the system's General MIDI soundfont by a
// process of its own, while it starts to play, and played again from memory
// while its file is the same.
//
// With no audio device every player is silent; a file that cannot be played
// leaves its player silent. Either is said once on stderr, never more.
//
// The mixer runs on a thread of its own, opened in the background: every call
// returns at once, and what is asked before the device is ready is done, in
// order, as soon as it is. While nothing has played for a while the audio
// device's thread rests, costing nothing, until the next request. A build
// for a platform with no threads (BRIZZLET_SOUND_THREAD off) carries each
// call out before it returns instead, and makes its music when given time
// (work()).
//
// A build with no synthesizer (BRIZZLET_FLUIDSYNTH off) plays the MIDI music
// from its rendering made at build time, beside the MIDI file
// (sound/music_key.h).
//
// Its parts are in sound/: the files it reads, the MIDI reader, the
// synthesizer and its process, the decoded sounds kept, the mix's limiter,
// the audio thread's rest and the thread it runs on.
class MixerSound : public SoundBackend {
 public:
  // Later: the device is opened at begin(), so that opening it and loading
  // the soundfont take no time from the first frame.
  enum class Start { Now, Later };
  explicit MixerSound(Start start = Start::Now);
  ~MixerSound() override;
  MixerSound(const MixerSound&) = delete;
  MixerSound& operator=(const MixerSound&) = delete;

  void begin();
  // Returns when every request made so far is carried out.
  void settle();
  // With no thread of its own, the player makes its music a slice at a time
  // between requests: one slice, if there is one; true while some is left.
  // With a thread, false: the thread does it.
  bool work();
  std::unique_ptr<SoundChannel> createChannel(const std::string& playerName) override;

 private:
  class Runner;
  std::unique_ptr<Runner> runner_;
};

}  // namespace brz::sdl
