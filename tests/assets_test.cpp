// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures, sounds and music made by tools/make-assets: each file has the
// format, size and colour depth that the layouts and the runtime take it in,
// it decodes, and the pictures compiled into the program are the files in
// assets/pictures.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "assets/layout_pictures.h"

namespace {

using Bytes = std::vector<unsigned char>;

const std::filesystem::path kAssets = BRIZZLET_ASSETS_DIR;

Bytes readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t le16(const Bytes& b, std::size_t at) {
  return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t le32(const Bytes& b, std::size_t at) {
  return le16(b, at) | le16(b, at + 2) << 16;
}
std::uint32_t be16(const Bytes& b, std::size_t at) {
  return b.at(at) << 8 | b.at(at + 1);
}
std::uint32_t be32(const Bytes& b, std::size_t at) {
  return be16(b, at) << 16 | be16(b, at + 2);
}

// --- decoding -------------------------------------------------------------

struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Decodes with SDL2_image and converts to RGBA32, so pixels read the same
// whatever the file's own format.
Surface decode(const Bytes& bytes) {
  SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  Surface loaded(IMG_Load_RW(rw, 1));
  if (!loaded) return nullptr;
  return Surface(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0));
}

struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

Rgba pixel(const SDL_Surface* s, int x, int y) {
  const auto* row = static_cast<const unsigned char*>(s->pixels) + y * s->pitch;
  const unsigned char* p = row + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

// --- the layout pictures --------------------------------------------------

enum class Kind { Icon, Cursor, Bitmap, Gif, Png };

struct LayoutPicture {
  const char* name;
  const char* file;
  Kind kind;
  int width;
  int height;
  int bitsPerPixel;  // of an icon's or bitmap's pixels, a PNG's channels; GIFs hold at most 8
};

const LayoutPicture kLayoutPictures[] = {
    {"icon", "icon.ico", Kind::Icon, 32, 32, 4},
    {"crosshair", "crosshair.cur", Kind::Cursor, 32, 32, 4},
    {"mosquito_left", "mosquito_left.bmp", Kind::Bitmap, 33, 24, 1},
    {"mosquito_right", "mosquito_right.bmp", Kind::Bitmap, 33, 24, 1},
    {"splash", "splash.bmp", Kind::Bitmap, 44, 45, 24},
    {"portrait", "portrait.bmp", Kind::Bitmap, 128, 243, 24},
    {"flash", "flash.gif", Kind::Gif, 23, 18, 8},
    {"magazine", "magazine.gif", Kind::Gif, 60, 60, 8},
    {"title", "title.gif", Kind::Gif, 221, 294, 8},
    {"logo", "logo.gif", Kind::Gif, 198, 279, 8},
    {"icon_large", "icon_large.png", Kind::Png, 128, 128, 8},
};

Bytes embedded(const char* name) {
  auto span = brz::assets::layoutPicture(name);
  return Bytes(span.begin(), span.end());
}

// An icon or cursor file holding one 16-colour picture with its mask.
void expectIconHeader(const Bytes& b, const LayoutPicture& want) {
  ASSERT_GE(b.size(), 22u + 40u);
  EXPECT_EQ(le16(b, 0), 0u);
  EXPECT_EQ(le16(b, 2), want.kind == Kind::Cursor ? 2u : 1u) << "file type";
  ASSERT_EQ(le16(b, 4), 1u) << "number of pictures";
  EXPECT_EQ(b[6], want.width);
  EXPECT_EQ(b[7], want.height);
  EXPECT_EQ(b[8], 16) << "colour count";
  if (want.kind == Kind::Cursor) {
    EXPECT_EQ(le16(b, 10), 16u) << "hot spot x";
    EXPECT_EQ(le16(b, 12), 16u) << "hot spot y";
  }
  const std::uint32_t size = le32(b, 14);
  const std::uint32_t offset = le32(b, 18);
  ASSERT_EQ(std::size_t{offset} + size, b.size());
  EXPECT_EQ(le32(b, offset), 40u) << "bitmap header size";
  EXPECT_EQ(le32(b, offset + 4), static_cast<std::uint32_t>(want.width));
  EXPECT_EQ(le32(b, offset + 8), static_cast<std::uint32_t>(2 * want.height)) << "picture and mask";
  EXPECT_EQ(le16(b, offset + 14), static_cast<std::uint32_t>(want.bitsPerPixel));
}

void expectBitmapHeader(const Bytes& b, const LayoutPicture& want) {
  ASSERT_GE(b.size(), 54u);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(le32(b, 2), b.size()) << "file size in the header";
  EXPECT_EQ(le32(b, 18), static_cast<std::uint32_t>(want.width));
  const auto height = static_cast<std::int32_t>(le32(b, 22));
  EXPECT_EQ(std::abs(height), want.height);
  EXPECT_EQ(le16(b, 28), static_cast<std::uint32_t>(want.bitsPerPixel));
  EXPECT_EQ(le32(b, 30), 0u) << "uncompressed";
}

void expectGifHeader(const Bytes& b, const LayoutPicture& want) {
  ASSERT_GE(b.size(), 13u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 6), "GIF89a");
  EXPECT_EQ(le16(b, 6), static_cast<std::uint32_t>(want.width));
  EXPECT_EQ(le16(b, 8), static_cast<std::uint32_t>(want.height));
  EXPECT_TRUE(b[10] & 0x80) << "a global colour table";
}

// A PNG's size is in its IHDR chunk, right after the signature.
void expectPngHeader(const Bytes& b, const LayoutPicture& want) {
  ASSERT_GE(b.size(), 33u);
  EXPECT_EQ(std::string(b.begin() + 1, b.begin() + 4), "PNG");
  EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "IHDR");
  EXPECT_EQ(be32(b, 16), static_cast<std::uint32_t>(want.width));
  EXPECT_EQ(be32(b, 20), static_cast<std::uint32_t>(want.height));
  EXPECT_EQ(b[24], want.bitsPerPixel) << "bits per channel";
}

void expectHeader(const Bytes& bytes, const LayoutPicture& want) {
  switch (want.kind) {
    case Kind::Icon:
    case Kind::Cursor:
      expectIconHeader(bytes, want);
      break;
    case Kind::Bitmap:
      expectBitmapHeader(bytes, want);
      break;
    case Kind::Gif:
      expectGifHeader(bytes, want);
      break;
    case Kind::Png:
      expectPngHeader(bytes, want);
      break;
  }
}

TEST(LayoutPictures, CompiledInBytesAreTheFiles) {
  for (const LayoutPicture& want : kLayoutPictures) {
    SCOPED_TRACE(want.name);
    const Bytes file = readFile(kAssets / "pictures" / want.file);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(embedded(want.name), file);
  }
  EXPECT_TRUE(brz::assets::layoutPicture("nyamuk1").empty());
  EXPECT_TRUE(brz::assets::layoutPicture("").empty());
  EXPECT_TRUE(brz::assets::layoutPicture("icon.ico").empty());
}

TEST(LayoutPictures, FormatSizeAndDepthFromHeaders) {
  for (const LayoutPicture& want : kLayoutPictures) {
    SCOPED_TRACE(want.name);
    expectHeader(embedded(want.name), want);
  }
}

TEST(LayoutPictures, DecodeToTheirSize) {
  for (const LayoutPicture& want : kLayoutPictures) {
    SCOPED_TRACE(want.name);
    Surface s = decode(embedded(want.name));
    ASSERT_TRUE(s) << IMG_GetError();
    EXPECT_EQ(s->w, want.width);
    EXPECT_EQ(s->h, want.height);
  }
}

TEST(LayoutPictures, IconAndCursorAreCutOutByTheirMask) {
  Surface icon = decode(embedded("icon"));
  Surface cursor = decode(embedded("crosshair"));
  ASSERT_TRUE(icon && cursor);
  for (const SDL_Surface* s : {icon.get(), cursor.get()}) {
    EXPECT_EQ(pixel(s, 0, 0).a, 0);
    EXPECT_EQ(pixel(s, 31, 31).a, 0);
    EXPECT_EQ(pixel(s, 16, 16).a, 255);
  }
  // The lines of the cross meet on the hot spot, in red; beside it, inside
  // the ring, the player sees what he aims at.
  const Rgba hotSpot = pixel(cursor.get(), 16, 16);
  EXPECT_GT(hotSpot.r, 200);
  EXPECT_LT(hotSpot.g, 60);
  EXPECT_LT(hotSpot.b, 60);
  EXPECT_EQ(pixel(cursor.get(), 12, 12).a, 0);
  EXPECT_EQ(pixel(cursor.get(), 20, 20).a, 0);
}

TEST(LayoutPictures, MosquitoesAreBlackOnWhiteAndMirrorEachOther) {
  Surface left = decode(embedded("mosquito_left"));
  Surface right = decode(embedded("mosquito_right"));
  ASSERT_TRUE(left && right);
  int black = 0;
  for (int y = 0; y < left->h; ++y) {
    for (int x = 0; x < left->w; ++x) {
      const Rgba p = pixel(left.get(), x, y);
      ASSERT_TRUE(p == kBlack || p == kWhite) << x << "," << y;
      black += p == kBlack;
      ASSERT_EQ(pixel(right.get(), left->w - 1 - x, y), p) << x << "," << y;
    }
  }
  const int all = left->w * left->h;
  EXPECT_GT(black, all / 10);
  EXPECT_LT(black, all / 2);
  // Head and proboscis to the left: the proboscis points down to the left,
  // the tail of the body rises to the right, so the left-facing one's
  // leftmost black pixel lies lower than its rightmost.
  int leftmost = left->w, leftmostRow = 0, rightmost = -1, rightmostRow = 0;
  for (int y = 0; y < left->h; ++y) {
    for (int x = 0; x < left->w; ++x) {
      if (pixel(left.get(), x, y) != kBlack) continue;
      if (x < leftmost) leftmost = x, leftmostRow = y;
      if (x > rightmost) rightmost = x, rightmostRow = y;
    }
  }
  EXPECT_GT(leftmostRow, rightmostRow + 3);
}

TEST(LayoutPictures, BackgroundsSuitTheWhitePanels) {
  for (const char* name : {"mosquito_left", "splash", "magazine"}) {
    SCOPED_TRACE(name);
    Surface s = decode(embedded(name));
    ASSERT_TRUE(s);
    EXPECT_EQ(pixel(s.get(), 0, 0), kWhite);
    EXPECT_EQ(pixel(s.get(), s->w - 1, s->h - 1), kWhite);
  }
  // The flash is drawn over the magazine picture: its outside shows through.
  Surface flash = decode(embedded("flash"));
  ASSERT_TRUE(flash);
  EXPECT_EQ(pixel(flash.get(), 0, 0).a, 0);
  EXPECT_EQ(pixel(flash.get(), 11, 9).a, 255);
}

// --- the magazine pictures read at run time --------------------------------

int brassPixels(const SDL_Surface* s) {
  int n = 0;
  for (int y = 0; y < s->h; ++y) {
    for (int x = 0; x < s->w; ++x) {
      const Rgba p = pixel(s, x, y);
      n += p.r > 150 && p.g > 100 && p.b < 110 && p.r - p.b > 90;
    }
  }
  return n;
}

TEST(MagazinePictures, OneForEachBulletCountAndOneForTheShot) {
  std::vector<Bytes> files;
  for (int count = 0; count <= 7; ++count) {
    SCOPED_TRACE(count);
    files.push_back(readFile(kAssets / ("plor" + std::to_string(count) + ".gif")));
    expectGifHeader(files.back(), {"plor", "", Kind::Gif, 60, 60, 8});
    Surface s = decode(files.back());
    ASSERT_TRUE(s) << IMG_GetError();
    EXPECT_EQ(s->w, 60);
    EXPECT_EQ(s->h, 60);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    for (std::size_t j = i + 1; j < files.size(); ++j) {
      EXPECT_NE(files[i], files[j]) << "plor" << i << " and plor" << j;
    }
  }
  EXPECT_EQ(embedded("magazine"), files[6]) << "the layout's full magazine is plor6.gif";
}

TEST(MagazinePictures, EachBulletMoreShowsMoreBrass) {
  int previous = -1;
  for (int count = 0; count <= 6; ++count) {
    SCOPED_TRACE(count);
    Surface s = decode(readFile(kAssets / ("plor" + std::to_string(count) + ".gif")));
    ASSERT_TRUE(s);
    const int brass = brassPixels(s.get());
    if (count == 0) {
      EXPECT_EQ(brass, 0);
    } else {
      EXPECT_GT(brass, previous + 30);
    }
    previous = brass;
  }
}

// --- sounds and music ------------------------------------------------------

// Opens SDL_mixer on a device that plays nothing, so that the tests run
// without a sound card.
class SoundFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
  }
  static void TearDownTestSuite() {
    Mix_CloseAudio();
    SDL_Quit();
  }
};

TEST_F(SoundFiles, GunAndReloadLoadAndLastUnderASecond) {
  int frequency = 0;
  int channels = 0;
  Uint16 format = 0;
  ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
  const int bytesPerSecond = frequency * channels * (SDL_AUDIO_BITSIZE(format) / 8);

  for (const char* name : {"gun.wav", "reload.wav"}) {
    SCOPED_TRACE(name);
    const Bytes file = readFile(kAssets / name);
    ASSERT_GE(file.size(), 44u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 12), "WAVE");

    Mix_Chunk* chunk = Mix_LoadWAV((kAssets / name).c_str());
    ASSERT_NE(chunk, nullptr) << Mix_GetError();
    const double seconds = static_cast<double>(chunk->alen) / bytesPerSecond;
    Mix_FreeChunk(chunk);
    EXPECT_GT(seconds, 0.1);
    EXPECT_LT(seconds, 1.0);
  }
}

// What a reading of a Standard MIDI File gives.
struct MidiSummary {
  int format = -1;
  int tracks = 0;
  double seconds = 0;      // to the last end of track
  double lastNoteEnd = 0;  // to the end of the last note
  double finalNote = 0;    // length of the longest note among those ending last
};

std::uint32_t readVarLen(const Bytes& b, std::size_t& at) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    const unsigned char c = b.at(at++);
    value = value << 7 | (c & 0x7f);
    if (!(c & 0x80)) return value;
  }
  throw std::runtime_error("variable-length number longer than four bytes");
}

// Reads the header and every track chunk; throws on a malformed file.
MidiSummary readMidi(const Bytes& b) {
  if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || be32(b, 4) != 6)
    throw std::runtime_error("no MThd header");
  MidiSummary summary;
  summary.format = static_cast<int>(be16(b, 8));
  const std::uint32_t declaredTracks = be16(b, 10);
  const std::uint32_t division = be16(b, 12);
  if (division == 0 || (division & 0x8000)) throw std::runtime_error("not ticks per quarter note");

  std::map<std::uint64_t, std::uint32_t> tempoAt{{0, 500000}};
  std::uint64_t endTick = 0;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> notes;  // start and end ticks
  std::size_t at = 14;
  while (at < b.size()) {
    if (at + 8 > b.size() || std::string(b.begin() + at, b.begin() + at + 4) != "MTrk")
      throw std::runtime_error("expected a track chunk");
    const std::size_t end = at + 8 + be32(b, at + 4);
    if (end > b.size()) throw std::runtime_error("track runs past the end of the file");
    ++summary.tracks;
    at += 8;
    std::uint64_t tick = 0;
    unsigned char status = 0;
    std::map<int, std::uint64_t> sounding;  // channel and key -> start tick
    bool ended = false;
    while (at < end) {
      tick += readVarLen(b, at);
      if (b.at(at) & 0x80) status = b.at(at++);
      if (status == 0xff) {
        const unsigned char type = b.at(at++);
        const std::uint32_t length = readVarLen(b, at);
        if (type == 0x51 && length == 3)
          tempoAt[tick] = b.at(at) << 16 | b.at(at + 1) << 8 | b.at(at + 2);
        if (type == 0x2f) ended = true;
        at += length;
      } else if (status == 0xf0 || status == 0xf7) {
        at += readVarLen(b, at);
      } else if (status >= 0x80) {
        const int kind = status & 0xf0;
        const bool twoBytes = kind != 0xc0 && kind != 0xd0;
        const int key = (status & 0x0f) << 8 | b.at(at);
        if (kind == 0x90 && b.at(at + 1) > 0) {
          sounding[key] = tick;
        } else if ((kind == 0x80 || kind == 0x90) && sounding.contains(key)) {
          notes.emplace_back(sounding[key], tick);
          sounding.erase(key);
        }
        at += twoBytes ? 2 : 1;
      } else {
        throw std::runtime_error("data byte without a status");
      }
    }
    if (at != end || !ended) throw std::runtime_error("track without its end");
    if (!sounding.empty()) throw std::runtime_error("a note that never ends");
    endTick = std::max(endTick, tick);
  }
  if (static_cast<std::uint32_t>(summary.tracks) != declaredTracks)
    throw std::runtime_error("track count differs from the header");

  auto secondsAt = [&](std::uint64_t target) {
    double seconds = 0;
    for (auto it = tempoAt.begin(); it != tempoAt.end() && it->first < target; ++it) {
      const auto next = std::next(it);
      const std::uint64_t until = next == tempoAt.end() ? target : std::min(target, next->first);
      seconds += static_cast<double>(until - it->first) * it->second / 1e6 / division;
    }
    return seconds;
  };
  if (notes.empty()) throw std::runtime_error("no notes");
  summary.seconds = secondsAt(endTick);
  for (const auto& [start, stop] : notes)
    summary.lastNoteEnd = std::max(summary.lastNoteEnd, secondsAt(stop));
  for (const auto& [start, stop] : notes) {
    if (secondsAt(stop) > summary.lastNoteEnd - 0.1)
      summary.finalNote = std::max(summary.finalNote, secondsAt(stop) - secondsAt(start));
  }
  return summary;
}

TEST(Music, BacksoundIsAStandardMidiFileOfAboutHalfAMinute) {
  const Bytes file = readFile(kAssets / "backsound.mid");
  MidiSummary midi;
  ASSERT_NO_THROW(midi = readMidi(file));
  EXPECT_TRUE(midi.format == 0 || midi.format == 1);
  EXPECT_GE(midi.tracks, 2) << "a tune and its accompaniment";
  EXPECT_GE(midi.seconds, 30.0);
  EXPECT_LE(midi.seconds, 60.0);
  // The game starts the tune again only once it has ended: it must not
  // trail off into a long silence or a long held chord.
  EXPECT_LT(midi.seconds - midi.lastNoteEnd, 0.5);
  EXPECT_LT(midi.finalNote, 1.0);
}

TEST(Music, MidiReaderRejectsBrokenFiles) {
  const Bytes good = readFile(kAssets / "backsound.mid");
  ASSERT_NO_THROW(readMidi(good));

  Bytes noHeader = good;
  noHeader[0] = 'X';
  EXPECT_ANY_THROW(readMidi(noHeader));

  Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
  EXPECT_ANY_THROW(readMidi(cut));

  Bytes extraTrackDeclared = good;
  extraTrackDeclared[11] = static_cast<unsigned char>(extraTrackDeclared[11] + 1);
  EXPECT_ANY_THROW(readMidi(extraTrackDeclared));
}

TEST_F(SoundFiles, SdlMixerLoadsTheMusic) {
  Mix_Music* music = Mix_LoadMUS((kAssets / "backsound.mid").c_str());
  ASSERT_NE(music, nullptr) << Mix_GetError();
  EXPECT_EQ(Mix_GetMusicType(music), MUS_MID);
  Mix_FreeMusic(music);
}

}  // namespace
