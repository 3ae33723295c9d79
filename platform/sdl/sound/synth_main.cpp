// SPDX-License-Identifier: GPL-3.0-or-later
// brizzlet-synth: a MIDI piece synthesized as the game plays it, on its own,
// for the game to run apart from itself (synth_process.h), or for a build to
// make the game's music ahead of time:
//   brizzlet-synth RATE [SOUNDFONTS] < MIDI-FILE > PIECE
// With no SOUNDFONTS, those the game would choose.
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/sdl/sound/midi_synth.h"
#include "platform/sdl/sound/sound_files.h"
#include "platform/sdl/sound/synth_process.h"

namespace {

// False once the game is gone.
bool put(const void* data, size_t bytes) {
  const char* at = static_cast<const char*>(data);
  while (bytes > 0) {
    ssize_t wrote = ::write(STDOUT_FILENO, at, bytes);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    at += wrote;
    bytes -= static_cast<size_t>(wrote);
  }
  return true;
}

template <typename T>
bool put(T value) {
  return put(&value, sizeof value);
}

}  // namespace

int main(int argc, char** argv) {
  int rate = argc == 2 || argc == 3 ? std::atoi(argv[1]) : 0;
  if (rate <= 0) {
    std::fprintf(stderr, "usage: brizzlet-synth RATE [SOUNDFONTS] < MIDI-FILE > PIECE\n");
    return 2;
  }
  std::vector<std::string> faults;
  std::string soundFonts =
      argc == 3 ? argv[2] : brz::sdl::usableSoundFonts(brz::sdl::findSoundFont(), faults);
  std::string bytes;
  char chunk[65536];
  for (ssize_t got; (got = ::read(STDIN_FILENO, chunk, sizeof chunk)) != 0;) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return 1;
    bytes.append(chunk, static_cast<size_t>(got));
  }
  std::string fault;
  std::unique_ptr<brz::sdl::PieceSource> piece =
      brz::sdl::synthesizeMidi(bytes, soundFonts, rate, fault);
  if (!piece) return put(brz::sdl::kSynthFault) && put(fault.data(), fault.size()) ? 0 : 1;
  if (!put(brz::sdl::kSynthPiece) || !put(std::uint64_t{piece->maxFrames()})) return 1;
  constexpr size_t kBlock = 4096;
  std::int16_t block[kBlock * 2];
  while (!piece->over()) {
    auto frames = static_cast<std::uint32_t>(piece->render(block, kBlock));
    if (frames && (!put(frames) || !put(block, frames * sizeof block[0] * 2))) return 1;
  }
  return put(std::uint32_t{0}) && put(std::uint64_t{piece->length()}) ? 0 : 1;
}
