// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/music_piece.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>

namespace brz::sdl {

namespace {

// Frames made at a time: a slice of the sound thread's time short enough
// that a request waiting behind it is not noticed.
constexpr size_t kRenderFrames = 4096;
// Room for what resampling adds to a piece's length, in frames.
constexpr size_t kResampleSlack = 256;

}  // namespace

Piece::~Piece() {
  if (convert_) SDL_FreeAudioStream(convert_);
}

std::shared_ptr<Piece> Piece::make(const Format& format, int rate, std::string bytes,
                                   std::unique_ptr<PieceSource> source, std::string& fault) {
  std::shared_ptr<Piece> piece(new Piece);
  Piece& p = *piece;
  p.bytes_ = std::move(bytes);
  p.frameBytes_ = static_cast<size_t>(format.frameBytes);
  p.rate_ = rate;
  p.mixerRate_ = format.frequency;
  p.sourceFrames_ = source->maxFrames();
  // A resampled piece may come out a few frames longer than its length.
  p.capacity_ = p.scaled(p.sourceFrames_) + (rate == format.frequency ? 0 : kResampleSlack);
  p.samples_.reset(new (std::nothrow) Uint8[p.capacity_ * p.frameBytes_]);
  if (!p.samples_) {
    fault = "not enough memory for the piece";
    return nullptr;
  }
  if (format.format != AUDIO_S16SYS || format.channels != 2 || rate != format.frequency) {
    p.convert_ = SDL_NewAudioStream(AUDIO_S16SYS, 2, rate, format.format,
                                    static_cast<Uint8>(format.channels), format.frequency);
    if (!p.convert_) {
      fault = SDL_GetError();
      return nullptr;
    }
  }
  p.source_ = std::move(source);
  p.render();
  return piece;
}

size_t Piece::scaled(size_t frames) const {
  if (rate_ == mixerRate_) return frames;
  return static_cast<size_t>((static_cast<std::uint64_t>(frames) * mixerRate_ + rate_ - 1) / rate_);
}

void Piece::render() {
  if (!source_) return;
  size_t at = written.load(std::memory_order_relaxed);
  std::int16_t block[kRenderFrames * 2];
  size_t frames = source_->render(block, std::min(kRenderFrames, sourceFrames_ - read_));
  read_ += frames;
  bool end = source_->over() || read_ == sourceFrames_;
  if (convert_) {
    SDL_AudioStreamPut(convert_, block, static_cast<int>(frames * sizeof block[0] * 2));
    if (end) {
      // The resampler holds its last frames back for those to come, and
      // SDL's flush does not bring them out: silence after the piece does
      // (none of it is played: the piece's length ends before it).
      std::fill(std::begin(block), std::end(block), 0);
      SDL_AudioStreamPut(convert_, block, sizeof block);
      SDL_AudioStreamFlush(convert_);
    }
    int got = SDL_AudioStreamGet(convert_, samples_.get() + at * frameBytes_,
                                 static_cast<int>((capacity_ - at) * frameBytes_));
    frames = got > 0 ? static_cast<size_t>(got) / frameBytes_ : 0;
  } else {
    std::memcpy(samples_.get() + at * frameBytes_, block, frames * frameBytes_);
  }
  at += frames;
  written.store(at, std::memory_order_release);
  if (end || at == capacity_) {
    length.store(std::min(at, scaled(source_->length())), std::memory_order_release);
    source_ = nullptr;
  }
}

void playPiece(Playback& playback, Uint8* stream, int bytes, int headroom) {
  if (!playback.playing.load(std::memory_order_relaxed)) return;
  const Piece& piece = *playback.piece;
  size_t length = piece.length.load(std::memory_order_acquire);
  size_t written = piece.written.load(std::memory_order_acquire);
  size_t frames = std::min(static_cast<size_t>(bytes) / piece.frameBytes(), written - playback.at);
  const auto* from = reinterpret_cast<const std::int16_t*>(piece.frame(playback.at));
  auto* to = reinterpret_cast<std::int16_t*>(stream);
  for (size_t i = 0; i < frames * piece.frameBytes() / sizeof *to; ++i)
    to[i] = static_cast<std::int16_t>(from[i] / headroom);
  playback.at += frames;
  if (playback.at >= length) playback.playing.store(false, std::memory_order_relaxed);
}

}  // namespace brz::sdl
