// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/sdl_pictures.h"

#include <SDL.h>
#include <SDL_image.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/picture_size.h"
#include "platform/runtime.h"
#include "platform/system.h"

namespace brz {

namespace {

// No screen shows more pixels a side than this.
constexpr std::int64_t kWidestPicture = 8192;
// The longest file such a picture can come in: uncompressed, four bytes a
// pixel, with room for its headers. Well below what SDL's int sizes hold.
constexpr std::size_t kLongestPictureFile = kWidestPicture * kWidestPicture * 4 + (1 << 20);
// The most room the reading buffer keeps between loads.
constexpr std::size_t kKeptRoom = 1 << 20;
// How far a file's times may lag this clock, a tick of the file system's
// coarse clock or a file server's clock a little behind: a file written
// this recently is read again at each load.
constexpr std::int64_t kClockSlackNs = 2'000'000'000;

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
  picture->opaque = allOpaque(picture->argb);
  return picture;
}

}  // namespace

PictureRef SdlPictureDecoder::decodeFile(const std::string& path) {
  // Read the file whole, then decode it from memory: a missing file is
  // reported with the system's own reason, and the decoder's format probes
  // seek in memory instead of in the file.
  auto refuse = [&](const char* what, const std::string& why) {
    return FatalError("LoadPicture: cannot " + std::string(what) + " \"" + path + "\": " + why);
  };
  // What the path names is looked at first: a named pipe or a device is
  // refused before it is opened.
  auto tooLong = [&] {
    return refuse("read", "the file is longer than any picture the game shows (over " +
                              std::to_string(kLongestPictureFile) + " bytes)");
  };
  FileStamp stamp;
  if (std::string fault = runTimeFileFault(path, stamp); !fault.empty())
    throw refuse("read", fault);
  if (stamp.size > kLongestPictureFile) throw tooLong();
  // A file untouched since it was read, its stamp the same, holds the same
  // bytes: the look at its entry is all this load costs. A shot loads two
  // magazine pictures.
  auto known = decoded_.find(path);
  if (known != decoded_.end() && known->second.settled && known->second.stamp == stamp)
    return known->second.picture;
  // Whether the stamp can vouch for the bytes about to be read: a write after
  // them would set a time later than any the file has now.
  std::int64_t readFrom = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
  bool settled = stamp.known && stamp.modifiedNs < readFrom - kClockSlackNs &&
                 stamp.changedNs < readFrom - kClockSlackNs;
  // Straight system calls into a buffer kept from load to load: this runs
  // at every change of a picture, where the C library's buffering and a
  // fresh buffer each time cost more than the reading. The buffer holds one
  // byte more than the file had last time, so a file still that long shows
  // its end in the first read: when that read gives exactly the bytes decoded
  // last time, they are taken as the whole file without a read more to see
  // the end. Any other file is read to its end.
  int file = openToRead(path);
  if (file < 0) throw refuse("read", std::strerror(errno));
  std::size_t room = known != decoded_.end() ? known->second.bytes.size() + 1 : 16384;
  if (reading_.size() < room) reading_.resize(room);
  std::size_t have = 0;
  bool overLong = false;
  int reason = 0;
  for (;;) {
    if (have == reading_.size())
      reading_.resize(std::min(reading_.size() * 2 + 16384, kLongestPictureFile + 1));
    ssize_t got = ::read(file, reading_.data() + have, reading_.size() - have);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) reason = errno;
    if (got <= 0) break;
    have += static_cast<std::size_t>(got);
    if (have < reading_.size() && known != decoded_.end() && have == known->second.bytes.size() &&
        std::memcmp(known->second.bytes.data(), reading_.data(), have) == 0) {
      ::close(file);
      known->second.stamp = stamp;
      known->second.settled = settled;
      return known->second.picture;
    }
    if (have > kLongestPictureFile) {
      overLong = true;
      break;
    }
  }
  ::close(file);
  // A long file read once does not keep its room for good.
  std::vector<unsigned char> kept;
  if (reading_.size() > kKeptRoom) std::swap(kept, reading_);
  const std::vector<unsigned char>& held = kept.empty() ? reading_ : kept;
  if (reason) throw refuse("read", std::strerror(reason));
  if (overLong) throw tooLong();
  if (have == 0) throw refuse("read", "the file is empty");
  // Bytes decoded before passed every check below then.
  if (known != decoded_.end() && known->second.bytes.size() == have &&
      std::memcmp(known->second.bytes.data(), held.data(), have) == 0) {
    known->second.stamp = stamp;
    known->second.settled = settled;
    return known->second.picture;
  }
  std::vector<unsigned char> bytes(held.begin(), held.begin() + static_cast<std::ptrdiff_t>(have));

  // The decoder would spend width x height x 4 bytes before it looked at the
  // pixels, whatever the file's own size: a picture no screen shows is
  // refused from its headers.
  auto size = pictureSize(bytes);
  if (!size) throw refuse("decode", "it is not a GIF, PNG, JPEG, BMP, ICO or CUR picture");
  if (size->width > kWidestPicture || size->height > kWidestPicture)
    throw refuse("show", "the picture is " + std::to_string(size->width) + " x " +
                             std::to_string(size->height) + " pixels, more than " +
                             std::to_string(kWidestPicture) + " a side");
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  SDL_Surface* surface = IMG_Load_RW(stream, 1);
  if (!surface) throw refuse("decode", IMG_GetError());
  PictureRef picture = toPicture(surface, path, true);
  decoded_[path] = {std::move(bytes), picture, stamp, settled};
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
