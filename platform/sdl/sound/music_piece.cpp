// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/music_piece.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace brz::sdl {

namespace {

// Frames made at a time: a slice of the sound thread's time short enough
// that a request waiting behind it is not noticed.
constexpr size_t kRenderFrames = 4096;

}  // namespace

Piece::~Piece() {
  if (convert_) SDL_FreeAudioStream(convert_);
}

std::shared_ptr<Piece> Piece::make(const Format& format, std::string bytes,
                                   std::unique_ptr<PieceSource> source, std::string& fault) {
  std::shared_ptr<Piece> piece(new Piece);
  Piece& p = *piece;
  p.bytes_ = std::move(bytes);
  p.frameBytes_ = static_cast<size_t>(format.frameBytes);
  p.capacity_ = source->maxFrames();
  p.samples_.reset(new (std::nothrow) Uint8[p.capacity_ * p.frameBytes_]);
  if (!p.samples_) {
    fault = "not enough memory for the piece";
    return nullptr;
  }
  p.data_ = p.samples_.get();
  if (format.format != AUDIO_S16SYS || format.channels != 2) {
    p.convert_ = SDL_NewAudioStream(AUDIO_S16SYS, 2, format.frequency, format.format,
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

std::shared_ptr<Piece> Piece::decoded(std::string bytes, std::shared_ptr<Mix_Chunk> chunk,
                                      const Format& format) {
  std::shared_ptr<Piece> piece(new Piece);
  piece->bytes_ = std::move(bytes);
  piece->frameBytes_ = static_cast<size_t>(format.frameBytes);
  piece->data_ = chunk->abuf;
  piece->chunk_ = std::move(chunk);
  piece->capacity_ = piece->chunk_->alen / piece->frameBytes_;
  piece->written = piece->capacity_;
  piece->length = piece->capacity_;
  return piece;
}

void Piece::render() {
  if (!source_) return;
  size_t at = written.load(std::memory_order_relaxed);
  std::int16_t block[kRenderFrames * 2];
  size_t frames = source_->render(block, std::min(kRenderFrames, capacity_ - at));
  if (convert_) {
    SDL_AudioStreamPut(convert_, block, static_cast<int>(frames * sizeof block[0] * 2));
    int got = SDL_AudioStreamGet(convert_, samples_.get() + at * frameBytes_,
                                 static_cast<int>((capacity_ - at) * frameBytes_));
    frames = got > 0 ? static_cast<size_t>(got) / frameBytes_ : 0;
  } else {
    std::memcpy(samples_.get() + at * frameBytes_, block, frames * frameBytes_);
  }
  at += frames;
  written.store(at, std::memory_order_release);
  if (source_->over() || at == capacity_) {
    length.store(std::min(at, source_->length()), std::memory_order_release);
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
