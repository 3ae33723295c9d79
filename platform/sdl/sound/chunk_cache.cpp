// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/chunk_cache.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace brz::sdl {

namespace {

// How many decoded sounds are kept for their files' bytes, and how many bytes
// at most with their files': the game's own sounds take a quarter of a
// megabyte.
constexpr size_t kKeptChunks = 8;
constexpr size_t kKeptBytes = 16 << 20;

}  // namespace

std::shared_ptr<Mix_Chunk> ChunkCache::get(std::string bytes) {
  for (auto kept = kept_.begin(); kept != kept_.end(); ++kept) {
    if (kept->bytes != bytes) continue;
    std::rotate(kept_.begin(), kept, std::next(kept));
    return kept_.front().chunk;
  }
  Mix_Chunk* decoded =
      Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
  if (!decoded) return nullptr;
  std::shared_ptr<Mix_Chunk> chunk(decoded, Mix_FreeChunk);
  kept_.push_front({std::move(bytes), chunk});
  keptBytes_ += kept_.front().size();
  while (!kept_.empty() && (kept_.size() > kKeptChunks || keptBytes_ > kKeptBytes)) {
    keptBytes_ -= kept_.back().size();
    kept_.pop_back();
  }
  return chunk;
}

}  // namespace brz::sdl
