// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sound/rendered_music.h"

#include <cstdint>
#include <filesystem>

#include "platform/sdl/sound/music_key.h"
#include "platform/sdl/sound/sound_files.h"

namespace brz::sdl {

std::shared_ptr<Piece> renderedPiece(const Piece::Format& format, const std::string& midiPath,
                                     std::string bytes, std::string& fault) {
  std::string path = renderingPath(midiPath);
  std::string name = "its rendering \"" + std::filesystem::path(path).filename().string() + "\"";
  std::string ogg;
  if (std::string why = readSoundFile(path, ogg); !why.empty()) {
    fault = name + " cannot be read: " + why;
    return nullptr;
  }
  if (std::string why = renderingFault(ogg); !why.empty()) {
    fault = name + " " + why;
    return nullptr;
  }
  std::string key = renderingKey(ogg);
  if (key.empty()) {
    fault = name + " names no MIDI file it was made from";
    return nullptr;
  }
  if (key != musicKey(bytes)) {
    fault = "the file is not the music " + name +
            " was made from, and this build plays MIDI music only from its rendering";
    return nullptr;
  }
  if (ogg.size() > static_cast<size_t>(INT32_MAX)) {
    fault = name + " is too large";
    return nullptr;
  }
  Mix_Chunk* chunk =
      Mix_LoadWAV_RW(SDL_RWFromConstMem(ogg.data(), static_cast<int>(ogg.size())), 1);
  if (!chunk) {
    fault = name + " cannot be decoded: " + Mix_GetError();
    return nullptr;
  }
  return Piece::decoded(std::move(bytes), std::shared_ptr<Mix_Chunk>(chunk, Mix_FreeChunk), format);
}

}  // namespace brz::sdl
