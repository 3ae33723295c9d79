// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the real media players from the command line, for the audio test and by hand:
//   sound_probe STEP...
// where a STEP is `open PLAYER FILE`, `play PLAYER`, `stop PLAYER`, `wait MS`
// `copy FROM TO` or `remove FILE` (a sound file changed under the players),
// and PLAYER is 1 (the effects player) or 2 (the music player).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "platform/sdl/mixer_sound.h"

int main(int argc, char** argv) {
  brz::sdl::MixerSound sound;
  std::unique_ptr<brz::SoundChannel> players[2] = {sound.createChannel("MediaPlayer1"),
                                                   sound.createChannel("MediaPlayer2")};
  auto player = [&](const char* n) -> brz::SoundChannel& { return *players[n[0] == '2']; };
  for (int i = 1; i < argc; ++i) {
    std::string step = argv[i];
    if (step == "open" && i + 2 < argc) {
      player(argv[i + 1]).open(argv[i + 2]);
      i += 2;
    } else if (step == "play" && i + 1 < argc) {
      player(argv[++i]).play();
    } else if (step == "stop" && i + 1 < argc) {
      player(argv[++i]).stop();
    } else if (step == "wait" && i + 1 < argc) {
      // The music is made meanwhile, by a player with no thread of its own.
      auto until =
          std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(argv[++i]));
      while (std::chrono::steady_clock::now() < until && sound.work()) {
      }
      std::this_thread::sleep_until(until);
    } else if (step == "copy" && i + 2 < argc) {
      // After what was asked before, as the game would change it mid-play.
      sound.settle();
      std::filesystem::copy_file(argv[i + 1], argv[i + 2],
                                 std::filesystem::copy_options::overwrite_existing);
      i += 2;
    } else if (step == "remove" && i + 1 < argc) {
      sound.settle();
      std::filesystem::remove(argv[++i]);
    } else {
      std::fprintf(stderr, "sound_probe: cannot read step %d: %s\n", i, argv[i]);
      return 2;
    }
  }
  return 0;
}
