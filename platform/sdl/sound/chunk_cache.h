// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL_mixer.h>

#include <deque>
#include <memory>
#include <string>

namespace brz::sdl {

// The sounds decoded last, each with the bytes of its file: a shot reads its
// file at every load, so that one removed or damaged fails then, but decodes
// it again only when the bytes have changed. A chunk lives on while a voice
// holds it, also once it has left the cache.
//
// The cache holds a few sounds and a few megabytes at most, however large
// the files: a sound too large for it is decoded at every load.
class ChunkCache {
 public:
  // The chunk of `bytes`, decoded now or before; null with the decoder's
  // reason in Mix_GetError().
  std::shared_ptr<Mix_Chunk> get(std::string bytes);
  void clear() {
    kept_.clear();
    keptBytes_ = 0;
  }

 private:
  struct Kept {
    std::string bytes;
    std::shared_ptr<Mix_Chunk> chunk;
    size_t size() const { return bytes.size() + chunk->alen; }
  };
  std::deque<Kept> kept_;  // the latest first
  size_t keptBytes_ = 0;   // the files' bytes and the decoded sounds'
};

}  // namespace brz::sdl
