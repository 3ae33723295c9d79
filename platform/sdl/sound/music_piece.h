// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/sdl/sound/piece_source.h"

namespace brz::sdl {

// A piece of music made once, into memory. The sound thread writes it block
// by block into a buffer sized for the whole piece up front, so that it never
// moves; the audio thread plays what is written so far. Synthesizing live in
// the audio callback instead costs a few percent of a core for as long as the
// music plays, every time it plays.
class Piece {
 public:
  // The mixer's output, which the piece is written in.
  struct Format {
    int frequency = 44100;
    Uint16 format = AUDIO_S16SYS;
    int channels = 2;
    int frameBytes = 4;
  };

  ~Piece();
  Piece(const Piece&) = delete;
  Piece& operator=(const Piece&) = delete;

  // The piece of the file `bytes` from `source`, whose frames come `rate` a
  // second, its first block already written; null with the reason in
  // `fault`.
  static std::shared_ptr<Piece> make(const Format& format, int rate, std::string bytes,
                                     std::unique_ptr<PieceSource> source, std::string& fault);

  const std::string& bytes() const { return bytes_; }
  bool rendering() const { return source_ != nullptr; }
  // Writes the next block; at the end of the piece lets its source go.
  void render();

  // Read by the audio thread.
  const Uint8* frame(size_t at) const { return samples_.get() + at * frameBytes_; }
  size_t frameBytes() const { return frameBytes_; }
  std::atomic<size_t> written{0};        // frames written so far
  std::atomic<size_t> length{SIZE_MAX};  // frames in all, once the render is over

 private:
  Piece() = default;

  // The source's frames as the mixer's: as many, or as many as they last.
  size_t scaled(size_t frames) const;

  std::string bytes_;
  std::unique_ptr<PieceSource> source_;
  std::unique_ptr<Uint8[]> samples_;
  size_t capacity_ = 0;  // frames
  size_t frameBytes_ = 4;
  size_t sourceFrames_ = 0;  // the most the source can make
  size_t read_ = 0;          // frames taken from the source
  int rate_ = 0;             // the source's frames a second
  int mixerRate_ = 0;
  SDL_AudioStream* convert_ = nullptr;  // when the mixer's format is not the source's
};

// What the music hook plays; changed by the sound thread only while the hook
// is off.
struct Playback {
  std::shared_ptr<Piece> piece;
  size_t at = 0;                     // the next frame to play
  std::atomic<bool> playing{false};  // cleared by the audio thread at the end
};

// On the audio thread: the piece from where it is, as far as it is written,
// turned down by `headroom` (mix_limiter.h). The mixer hands the hook a
// silent buffer, and what is not written yet stays silent. The mixer's
// samples are 16-bit.
void playPiece(Playback& playback, Uint8* stream, int bytes, int headroom);

}  // namespace brz::sdl
