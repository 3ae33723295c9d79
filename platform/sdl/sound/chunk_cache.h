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
class ChunkCache {
 public:
  // The chunk of `bytes`, decoded now or before; null with the decoder's
  // reason in Mix_GetError().
  std::shared_ptr<Mix_Chunk> get(const std::string& bytes);
  void clear() { kept_.clear(); }

 private:
  struct Kept {
    std::string bytes;
    std::shared_ptr<Mix_Chunk> chunk;
  };
  std::deque<Kept> kept_;  // the latest first
};

}  // namespace brz::sdl
