// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace brz::sdl {

// Where a piece of music comes from: 16-bit stereo frames, a block at a
// time, so that making them never holds up a shot for long. The synthesizer
// makes them from the MIDI file on the spot, at the mixer's rate; a build
// with no synthesizer decodes the same frames made ahead of time, at the
// rate they were made at.
class PieceSource {
 public:
  virtual ~PieceSource() = default;
  // The most frames the piece can take, known before the first is made.
  virtual size_t maxFrames() const = 0;
  // Writes up to `frames` frames into `block`; returns how many it wrote.
  virtual size_t render(std::int16_t* block, size_t frames) = 0;
  // Whether the piece is over: nothing more to write.
  virtual bool over() const = 0;
  // How many of the frames written are the piece, once it is over: its end
  // may lie before the last frames written.
  virtual size_t length() const = 0;
};

}  // namespace brz::sdl
