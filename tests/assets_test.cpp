// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures, sounds and music made by tools/make-assets: each decodes at
// the size the layouts and the runtime take it in, and the pictures compiled
// into the program are the files in assets/pictures.
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
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "assets/layout_pictures.h"

namespace {

using Bytes = std::vector<unsigned char>;

const std::filesystem::path kAssets = BRIZZLET_ASSETS_DIR;

Bytes readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes embedded(const char* name) {
  auto span = brz::assets::layoutPicture(name);
  return Bytes(span.begin(), span.end());
}

struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Decoded and converted to RGBA32, so pixels read the same whatever the file's
// own format.
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
  const auto* p = static_cast<const unsigned char*>(s->pixels) + y * s->pitch + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

TEST(LayoutPictures, CompiledInAreTheFilesAndDecodeToTheirSize) {
  const struct {
    const char *name, *file;
    int width, height;
  } kPictures[] = {
      {"icon", "icon.ico", 32, 32},
      {"crosshair", "crosshair.cur", 32, 32},
      {"mosquito_left", "mosquito_left.bmp", 33, 24},
      {"mosquito_right", "mosquito_right.bmp", 33, 24},
      {"splash", "splash.bmp", 44, 45},
      {"portrait", "portrait.bmp", 128, 243},
      {"flash", "flash.gif", 23, 18},
      {"magazine", "magazine.gif", 60, 60},
      {"title", "title.gif", 221, 294},
      {"logo", "logo.gif", 198, 279},
      {"icon_large", "icon_large.png", 128, 128},
  };
  for (const auto& want : kPictures) {
    SCOPED_TRACE(want.name);
    const Bytes file = readFile(kAssets / "pictures" / want.file);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(embedded(want.name), file);
    Surface s = decode(file);
    ASSERT_TRUE(s) << IMG_GetError();
    EXPECT_EQ(std::pair(s->w, s->h), std::pair(want.width, want.height));
  }
  EXPECT_TRUE(brz::assets::layoutPicture("nyamuk1").empty());
  EXPECT_TRUE(brz::assets::layoutPicture("icon.ico").empty());
  // The cursor's hot spot is its middle, where the cross meets.
  const Bytes cursor = embedded("crosshair");
  ASSERT_GE(cursor.size(), 14u);
  EXPECT_EQ(std::pair(cursor[10] | cursor[11] << 8, cursor[12] | cursor[13] << 8),
            std::pair(16, 16));
}

TEST(LayoutPictures, MasksMirrorsAndBackgroundsSuitWhereTheyAreDrawn) {
  Surface icon = decode(embedded("icon"));
  Surface cursor = decode(embedded("crosshair"));
  ASSERT_TRUE(icon && cursor);
  for (const SDL_Surface* s : {icon.get(), cursor.get()}) {
    EXPECT_EQ(pixel(s, 0, 0).a, 0);
    EXPECT_EQ(pixel(s, 16, 16).a, 255);
  }
  // Red on the hot spot; beside it, inside the ring, the player sees his aim.
  EXPECT_GT(pixel(cursor.get(), 16, 16).r, 200);
  EXPECT_LT(pixel(cursor.get(), 16, 16).g, 60);
  EXPECT_EQ(pixel(cursor.get(), 12, 12).a, 0);

  // The mosquitoes are black on white, each the other's mirror image.
  Surface left = decode(embedded("mosquito_left"));
  Surface right = decode(embedded("mosquito_right"));
  ASSERT_TRUE(left && right);
  int black = 0;
  for (int y = 0; y < left->h; ++y)
    for (int x = 0; x < left->w; ++x) {
      const Rgba p = pixel(left.get(), x, y);
      ASSERT_TRUE(p == kBlack || p == kWhite) << x << "," << y;
      ASSERT_EQ(pixel(right.get(), left->w - 1 - x, y), p) << x << "," << y;
      black += p == kBlack;
    }
  EXPECT_GT(black, left->w * left->h / 10);
  EXPECT_LT(black, left->w * left->h / 2);

  for (const char* name : {"mosquito_left", "splash", "magazine"}) {
    Surface s = decode(embedded(name));
    ASSERT_TRUE(s);
    EXPECT_EQ(pixel(s.get(), 0, 0), kWhite) << name;
    EXPECT_EQ(pixel(s.get(), s->w - 1, s->h - 1), kWhite) << name;
  }
  // The flash is drawn over the magazine picture: its outside shows through.
  Surface flash = decode(embedded("flash"));
  ASSERT_TRUE(flash);
  EXPECT_EQ(std::pair(pixel(flash.get(), 0, 0).a, pixel(flash.get(), 11, 9).a), std::pair(0, 255));
}

TEST(MagazinePictures, EachBulletMoreShowsMoreBrassAndSevenIsTheShot) {
  auto brass = [](const SDL_Surface* s) {
    int n = 0;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) {
        const Rgba p = pixel(s, x, y);
        n += p.r > 150 && p.g > 100 && p.b < 110 && p.r - p.b > 90;
      }
    return n;
  };
  std::vector<Bytes> files;
  int previous = -1;
  for (int count = 0; count <= 7; ++count) {
    SCOPED_TRACE(count);
    files.push_back(readFile(kAssets / ("plor" + std::to_string(count) + ".gif")));
    Surface s = decode(files.back());
    ASSERT_TRUE(s) << IMG_GetError();
    EXPECT_EQ(std::pair(s->w, s->h), std::pair(60, 60));
    if (count == 7) break;
    const int now = brass(s.get());
    EXPECT_TRUE(count == 0 ? now == 0 : now > previous + 30) << now;
    previous = now;
  }
  EXPECT_EQ(std::count(files.begin(), files.end(), files[7]), 1);
  EXPECT_EQ(embedded("magazine"), files[6]) << "the layout's full magazine is plor6.gif";
}

// --- sounds and music ------------------------------------------------------

TEST(SoundFiles, TheMixerLoadsShortShotsAndTheMusic) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);  // no sound card needed
  ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
  ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
  for (const char* name : {"gun.wav", "reload.wav"}) {
    Mix_Chunk* chunk = Mix_LoadWAV((kAssets / name).c_str());
    ASSERT_NE(chunk, nullptr) << name << ": " << Mix_GetError();
    const double seconds = chunk->alen / (22050.0 * 2 * 2);
    Mix_FreeChunk(chunk);
    EXPECT_GT(seconds, 0.1) << name;
    EXPECT_LT(seconds, 1.0) << name;
  }
  Mix_Music* music = Mix_LoadMUS((kAssets / "backsound.mid").c_str());
  ASSERT_NE(music, nullptr) << Mix_GetError();
  EXPECT_EQ(Mix_GetMusicType(music), MUS_MID);
  Mix_FreeMusic(music);
  Mix_CloseAudio();
  SDL_Quit();
}

}  // namespace
