#include "platform/sdl_pictures.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/runtime.h"

namespace brz {

namespace {

PictureRef toPicture(SDL_Surface* surface, const std::string& source, bool fromFile) {
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(surface);
  if (!argb) throw FatalError("cannot convert picture \"" + source + "\": " + SDL_GetError());
  auto picture = std::make_shared<Picture>();
  picture->source = source;
  picture->fromFile = fromFile;
  picture->width = argb->w;
  picture->height = argb->h;
  picture->argb.resize(static_cast<size_t>(argb->w) * argb->h);
  SDL_LockSurface(argb);
  for (int y = 0; y < argb->h; ++y)
    std::memcpy(&picture->argb[static_cast<size_t>(y) * argb->w],
                static_cast<const char*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch,
                static_cast<size_t>(argb->w) * 4);
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
  return picture;
}

}  // namespace

PictureRef SdlPictureDecoder::decodeFile(const std::string& path) {
  // Read the file whole, then decode it from memory: a missing file is
  // reported with the system's own reason, and the decoder's format probes
  // seek in memory instead of in the file.
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw FatalError("LoadPicture: cannot read \"" + path + "\": " + std::strerror(errno));
  std::vector<unsigned char> bytes;
  unsigned char chunk[16384];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
    bytes.insert(bytes.end(), chunk, chunk + got);
  bool failed = std::ferror(file);
  std::fclose(file);
  if (failed) throw FatalError("LoadPicture: cannot read \"" + path + "\": read error");
  auto known = decoded_.find(path);
  if (known != decoded_.end() && known->second.bytes == bytes) return known->second.picture;
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  SDL_Surface* surface = IMG_Load_RW(stream, 1);
  if (!surface) throw FatalError("LoadPicture: cannot decode \"" + path + "\": " + IMG_GetError());
  PictureRef picture = toPicture(surface, path, true);
  decoded_[path] = {std::move(bytes), picture};
  return picture;
}

PictureRef SdlPictureDecoder::decodeMemory(std::span<const unsigned char> bytes,
                                           const std::string& source) {
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  SDL_Surface* surface = IMG_Load_RW(stream, 1);
  if (!surface) throw FatalError("cannot decode the picture \"" + source + "\": " + IMG_GetError());
  return toPicture(surface, source, false);
}

}  // namespace brz
