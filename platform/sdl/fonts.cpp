// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/fonts.h"

#include <SDL_ttf.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/sdl/look.h"
#include "platform/system.h"

namespace brz::sdl {

namespace {

// Where Debian's packages install them.
constexpr const char* kWineFonts[] = {"/usr/share/wine/fonts"};
constexpr const char* kLiberationFonts[] = {"/usr/share/fonts/truetype/liberation",
                                            "/usr/share/fonts/truetype/liberation2",
                                            "/usr/share/fonts/liberation"};

struct Family {
  const char* regular;
  const char* bold;
  std::span<const char* const> directories;
};

// The first family whose regular weight is found is used.
constexpr Family kFamilies[] = {
    {"tahoma.ttf", "tahomabd.ttf", kWineFonts},
    {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", kLiberationFonts},
};

// Liberation Sans Narrow, in fonts-liberation (the second version of the
// family dropped it).
constexpr Family kNarrow = {"LiberationSansNarrow-Regular.ttf", "LiberationSansNarrow-Bold.ttf",
                            kLiberationFonts};

// Where a game that brings its own fonts (the one built for Windows, which
// has no such packages) keeps them: the folder "fonts" beside the program.
std::string shippedFonts() {
  std::error_code error;
  std::string program = programDirectory(error);
  return program.empty() ? program : program + kPathSeparator + "fonts";
}

// The file `name` of a family: among the fonts shipped with the game, else
// where the family's package installs it; "" when it is nowhere.
std::string locate(const std::string& shipped, const char* name, const Family& family) {
  auto found = [](const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(filePath(path), error);
  };
  if (!shipped.empty() && found(shipped + kPathSeparator + name))
    return shipped + kPathSeparator + name;
  for (const char* directory : family.directories)
    if (std::string path = std::string(directory) + "/" + name; found(path)) return path;
  return {};
}

// Far more than a font file holds: the game's are under 150 KB each.
constexpr std::uint64_t kLargestFont = 64 << 20;

// The whole of a font file, read at once with the system's own calls; empty
// when it cannot be read. Read here, since SDL_ttf and FreeType would open
// it by a name in the system's code page, which cannot spell every folder.
std::string contentsOf(const std::string& path) {
  std::string bytes;
  readRunTimeFile(path, bytes, kLargestFont, "");
  return bytes;
}

// The pixel sizes a font holds as bitmaps of their own.
std::set<int> strikesOf(const std::string& bytes) {
  std::set<int> sizes;
  FT_Library library = nullptr;
  if (bytes.empty() || FT_Init_FreeType(&library) != 0) return sizes;
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.data()),
                         static_cast<FT_Long>(bytes.size()), 0, &face) == 0) {
    for (int i = 0; i < face->num_fixed_sizes; ++i)
      sizes.insert(static_cast<int>((face->available_sizes[i].y_ppem + 32) >> 6));
    FT_Done_Face(face);
  }
  FT_Done_FreeType(library);
  return sizes;
}

// How many pixels a face sets at least half dark in an H, whose two stems a
// bold weight thickens. One glyph: loading one runs its hinting program,
// which takes a good part of a millisecond.
long inkOf(TTF_Font* font) {
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, "H", {0, 0, 0, 255});
  SDL_Surface* plain =
      rendered ? SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
  long ink = 0;
  if (plain)
    for (int y = 0; y < plain->h; ++y) {
      auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(plain->pixels) +
                                                         static_cast<size_t>(y) * plain->pitch);
      for (int x = 0; x < plain->w; ++x) ink += (row[x] >> 24) >= 128;
    }
  SDL_FreeSurface(plain);
  SDL_FreeSurface(rendered);
  return ink;
}

}  // namespace

Fonts::Fonts(Scale scale) : scale_(scale) {
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "brizzlet: no text: %s\n", TTF_GetError());
    return;
  }
  std::string shipped = shippedFonts();
  narrowRegular_ = {locate(shipped, kNarrow.regular, kNarrow), {}, {}};
  narrowBold_ = {locate(shipped, kNarrow.bold, kNarrow), {}, {}};
  auto read = [](const std::string& path) {
    auto bytes = std::make_shared<const std::string>(contentsOf(path));
    return File{path, strikesOf(*bytes), bytes};
  };
  for (const Family& family : kFamilies) {
    std::string regular = locate(shipped, family.regular, family);
    if (regular.empty()) continue;
    regular_ = read(regular);
    std::string bold = locate(shipped, family.bold, family);
    bold_ = bold.empty() ? regular_ : read(bold);
    return;
  }
  std::fprintf(stderr,
               "brizzlet: no text: neither Tahoma (fonts-wine) nor Liberation Sans "
               "(fonts-liberation) is installed, nor in %s\n",
               shipped.c_str());
}

Fonts::~Fonts() {
  for (auto& [key, face] : faces_)
    if (face.font) TTF_CloseFont(face.font);
  TTF_Quit();
}

Fonts::Face Fonts::face(const Font& font, bool narrow) {
  if (!available()) return {};
  narrow = narrow && hasNarrow(font);
  const File& file =
      font.bold ? (narrow ? narrowBold_ : bold_) : (narrow ? narrowRegular_ : regular_);
  int classic = Scale{}.fontPixels(font.points);
  Face chosen{nullptr, 1};
  int pixels = scale_.fontPixels(font.points);
  if (file.strikes.count(classic)) {
    pixels = classic;
    chosen.magnify = scale_.factor();
  }
  Opened opened = open(pixels, font.bold, narrow);
  chosen.font = opened.font;
  chosen.strike = opened.strike;
  return chosen;
}

Fonts::Opened Fonts::open(int pixels, bool bold, bool narrow) {
  auto key = std::make_tuple(pixels, bold, narrow);
  if (auto found = faces_.find(key); found != faces_.end()) return found->second;
  File& regular = narrow ? narrowRegular_ : regular_;
  File& file = bold ? (narrow ? narrowBold_ : bold_) : regular;
  // Every face of a file is opened from its bytes in memory: FreeType reads
  // a face's tables and glyphs a few bytes at a time, which from the file
  // are as many calls to the system (slow in a browser).
  if (!file.bytes) file.bytes = std::make_shared<const std::string>(contentsOf(file.path));
  SDL_RWops* bytes = file.bytes->empty() ? nullptr
                                         : SDL_RWFromConstMem(file.bytes->data(),
                                                              static_cast<int>(file.bytes->size()));
  // At 72 dpi a point is a pixel, so the em is exactly the pixel size asked for.
  Opened opened{bytes ? TTF_OpenFontRW(bytes, 1, pixels) : TTF_OpenFont(file.path.c_str(), pixels),
                0};
  if (!opened.font) {
    std::fprintf(stderr, "brizzlet: cannot open a font: %s\n", TTF_GetError());
  } else if (bold) {
    // A true bold sets its glyphs with a quarter more ink than the regular
    // face, or more. One that does not, or a family with no bold file, is
    // struck again by about an eighteenth of the em: a third to a half more
    // ink on any text, and still the bold face's widths.
    bool heavier = false;
    if (file.path != regular.path) {
      TTF_Font* light = open(pixels, false, narrow).font;
      heavier = !light || inkOf(opened.font) * 4 >= inkOf(light) * 5;
    }
    if (!heavier) opened.strike = std::max(1, (pixels + 9) / 18);
  }
  return faces_[key] = opened;
}

int Fonts::width(const std::string& text, const Font& font, bool narrow) {
  // Texts that change (a score, a clock) would fill it without end.
  constexpr size_t kMostWidths = 4096;
  Face f = face(font, narrow);
  if (!f.font || text.empty()) return 0;
  std::string key(reinterpret_cast<const char*>(&f.font), sizeof f.font);
  key += text;
  if (auto found = widths_.find(key); found != widths_.end()) return found->second;
  int w = 0, h = 0;
  if (TTF_SizeUTF8(f.font, text.c_str(), &w, &h) != 0) return 0;
  if (widths_.size() >= kMostWidths) widths_.clear();
  return widths_[key] = (w + f.strike) * f.magnify;
}

bool Fonts::narrowed(const std::string& line, const Font& font, int room) {
  return hasNarrow(font) && width(line, font) > room && width(line, font, true) <= room;
}

int Fonts::lineHeight(const Font& font) {
  Face f = face(font);
  return f.font ? TTF_FontHeight(f.font) * f.magnify : scale_.fontPixels(font.points) * 6 / 5;
}

std::vector<std::string> Fonts::wrap(const std::string& text, const Font& font, int widthPx) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    size_t end = text.find('\n', start);
    std::string paragraph = text.substr(start, end == std::string::npos ? end : end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    // Fill the line word by word; the spaces where a line breaks are dropped.
    std::string line;
    bool atStart = true;
    size_t pos = 0;
    while (pos < paragraph.size()) {
      size_t spaceEnd = paragraph.find_first_not_of(' ', pos);
      if (spaceEnd == std::string::npos) spaceEnd = paragraph.size();
      size_t wordEnd = paragraph.find(' ', spaceEnd);
      if (wordEnd == std::string::npos) wordEnd = paragraph.size();
      std::string spaces = paragraph.substr(pos, spaceEnd - pos);
      std::string word = paragraph.substr(spaceEnd, wordEnd - spaceEnd);
      if (atStart || width(line + spaces + word, font) <= widthPx) {
        line += spaces + word;
      } else {
        lines.push_back(line);
        line = word;
      }
      atStart = false;
      pos = wordEnd;
    }
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

std::pair<Twips, Twips> Fonts::measure(const std::string& text, const Font& font, Twips wrapWidth) {
  int height = lineHeight(font);
  if (wrapWidth <= 0) return {scale_.toTwips(width(text, font)), scale_.toTwips(height)};
  // A word is never broken: the lines widen to hold the widest one.
  int widest = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of(" \r\n", pos);
    if (end == std::string::npos) end = text.size();
    if (end > pos) widest = std::max(widest, width(text.substr(pos, end - pos), font));
    pos = end + 1;
  }
  int lineWidth = scale_.toPixels(wrapWidth);
  Twips width = wrapWidth;
  if (widest > lineWidth) {
    lineWidth = widest;
    width = scale_.toTwips(widest);
  }
  auto lines = wrap(text, font, lineWidth);
  return {width, scale_.toTwips(height * static_cast<int>(lines.size()))};
}

}  // namespace brz::sdl
