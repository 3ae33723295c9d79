// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/chunk_cache.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/sdl/sound/quiet_stderr.h"

namespace brz::sdl {

namespace {

// How many decoded sounds are kept for their files' bytes.
constexpr size_t kKeptChunks = 8;

}  // namespace

std::shared_ptr<Mix_Chunk> ChunkCache::get(const std::string& bytes) {
  for (auto kept = kept_.begin(); kept != kept_.end(); ++kept) {
    if (kept->bytes != bytes) continue;
    std::rotate(kept_.begin(), kept, std::next(kept));
    return kept_.front().chunk;
  }
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
    SDL_SetError("the file is too large");
    return nullptr;
  }
  Mix_Chunk* decoded = nullptr;
  {
    QuietStderr quiet;
    decoded = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
  }
  if (!decoded) return nullptr;
  std::shared_ptr<Mix_Chunk> chunk(decoded, Mix_FreeChunk);
  kept_.push_front({bytes, chunk});
  if (kept_.size() > kKeptChunks) kept_.pop_back();
  return chunk;
}

}  // namespace brz::sdl
