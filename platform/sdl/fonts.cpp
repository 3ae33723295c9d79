#include "platform/sdl/fonts.h"

#include <SDL_ttf.h>

#include <cstdio>
#include <filesystem>

#include "platform/sdl/look.h"

namespace brz::sdl {

namespace {

constexpr const char* kFontDirs[] = {
    "/usr/share/fonts/truetype/liberation/",
    "/usr/share/fonts/truetype/liberation2/",
    "/usr/share/fonts/liberation/",
};

std::string findFont(const char* file) {
  for (const char* dir : kFontDirs) {
    std::string path = std::string(dir) + file;
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) return path;
  }
  return {};
}

}  // namespace

Fonts::Fonts(Scale scale) : scale_(scale) {
  if (TTF_Init() != 0) {
    std::fprintf(stderr, "brizzlet: no text: %s\n", TTF_GetError());
    return;
  }
  regularPath_ = findFont("LiberationSans-Regular.ttf");
  boldPath_ = findFont("LiberationSans-Bold.ttf");
  if (boldPath_.empty()) boldPath_ = regularPath_;
  if (regularPath_.empty())
    std::fprintf(stderr, "brizzlet: no text: the Liberation Sans font is not installed\n");
}

Fonts::~Fonts() {
  for (auto& [key, face] : faces_)
    if (face) TTF_CloseFont(face);
  TTF_Quit();
}

TTF_Font* Fonts::face(const Font& font) {
  if (!available()) return nullptr;
  auto key = std::make_pair(scale_.fontPixels(font.points), font.bold);
  auto found = faces_.find(key);
  if (found != faces_.end()) return found->second;
  // At 72 dpi a point is a pixel, so the em is exactly the pixel size asked for.
  TTF_Font* face = TTF_OpenFont((font.bold ? boldPath_ : regularPath_).c_str(), key.first);
  if (!face) std::fprintf(stderr, "brizzlet: cannot open a font: %s\n", TTF_GetError());
  faces_[key] = face;
  return face;
}

int Fonts::width(const std::string& text, const Font& font) {
  TTF_Font* f = face(font);
  int w = 0, h = 0;
  if (!f || text.empty() || TTF_SizeUTF8(f, text.c_str(), &w, &h) != 0) return 0;
  return w;
}

int Fonts::lineHeight(const Font& font) {
  TTF_Font* f = face(font);
  return f ? TTF_FontHeight(f) : scale_.fontPixels(font.points) * 6 / 5;
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
  auto lines = wrap(text, font, scale_.toPixels(wrapWidth));
  return {wrapWidth, scale_.toTwips(height * static_cast<int>(lines.size()))};
}

}  // namespace brz::sdl
